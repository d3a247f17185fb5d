#include "pictures/bitmap.h"

#include <gif_lib.h>
#include <jerror.h>
#include <jpeglib.h>
#include <setjmp.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace panelcraft {

Bitmap::Bitmap(int32_t width, int32_t height, uint8_t r, uint8_t g, uint8_t b)
    : Width(width), Height(height), Rgb(static_cast<size_t>(width) * static_cast<size_t>(height) * 3) {
  for (size_t i = 0; i < Rgb.size(); i += 3) {
    Rgb[i] = r;
    Rgb[i + 1] = g;
    Rgb[i + 2] = b;
  }
}

void Bitmap::Draw(const Bitmap& source, int32_t x, int32_t y) {
  const int32_t x0 = std::max(0, x), x1 = std::min(Width, x + source.Width);
  const int32_t y0 = std::max(0, y), y1 = std::min(Height, y + source.Height);
  if (x0 >= x1) return;
  for (int32_t row = y0; row < y1; ++row)
    std::memcpy(At(x0, row), source.At(x0 - x, row - y), static_cast<size_t>(x1 - x0) * 3);
}

namespace {

struct TjHandle {
  tjhandle handle;
  explicit TjHandle(tjhandle h) : handle(h) {
    if (!handle) throw PictureError("the JPEG library could not start");
  }
  ~TjHandle() { tjDestroy(handle); }
};

void CheckSize(int64_t width, int64_t height) {
  if (width <= 0 || height <= 0) throw PictureError("the picture has no pixels");
  if (width * height > kMaxPicturePixels) throw PictureError("the picture is too large");
}

// libjpeg's error manager that jumps back instead of ending the program, and
// that counts a file ending before its pixels as damage.
struct JpegErrors {
  jpeg_error_mgr manager;
  jmp_buf jump;
  bool truncated;
  char message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  info->err->format_message(info, errors->message);
  longjmp(errors->jump, 1);
}

void JpegMessage(j_common_ptr info, int level) {
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) reinterpret_cast<JpegErrors*>(info->err)->truncated = true;
}

// The libjpeg part, free of C++ objects with destructors because a decoding
// error jumps back into it. Returns an error text, empty on success.
std::string DecodeBands(std::string_view jpeg, std::vector<uint8_t>& band,
                        const std::function<bool(int32_t, int32_t)>& start,
                        const std::function<void(const uint8_t*, int32_t, int32_t)>& rows, int bytesPerPixel,
                        int buffers) {
  constexpr uint32_t kRows = 32;
  jpeg_decompress_struct info;
  JpegErrors errors;
  info.err = jpeg_std_error(&errors.manager);
  errors.manager.error_exit = JpegErrorExit;
  errors.manager.emit_message = JpegMessage;
  errors.truncated = false;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return errors.message;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.data()), static_cast<unsigned long>(jpeg.size()));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = bytesPerPixel == 4 ? JCS_EXT_RGBX : JCS_EXT_RGB;
  const uint64_t width = info.image_width, height = info.image_height;
  if (width == 0 || height == 0 || width * height > static_cast<uint64_t>(kMaxPicturePixels)) {
    jpeg_destroy_decompress(&info);
    return "the picture is too large";
  }
  if (!start(static_cast<int32_t>(width), static_cast<int32_t>(height))) {
    jpeg_destroy_decompress(&info);
    return "the picture changed";
  }
  jpeg_start_decompress(&info);
  const size_t rowBytes = static_cast<size_t>(width) * (bytesPerPixel == 4 ? 4 : 3);
  const size_t halves = buffers == 2 ? 2 : 1;
  band.resize(rowBytes * kRows * halves);
  for (size_t half = 0; info.output_scanline < height; half = (half + 1) % halves) {
    uint8_t* buffer = band.data() + rowBytes * kRows * half;
    JSAMPROW pointers[kRows];
    for (uint32_t r = 0; r < kRows; ++r) pointers[r] = buffer + rowBytes * r;
    const uint32_t first = info.output_scanline;
    const uint32_t wanted = std::min<uint32_t>(kRows, static_cast<uint32_t>(height) - first);
    uint32_t got = 0;
    while (got < wanted) got += jpeg_read_scanlines(&info, pointers + got, wanted - got);
    rows(buffer, static_cast<int32_t>(first), static_cast<int32_t>(got));
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return errors.truncated ? "Premature end of JPEG file" : "";
}

}  // namespace

void DecodeJpegRows(std::string_view jpeg, std::vector<uint8_t>& band,
                    const std::function<bool(int32_t, int32_t)>& start,
                    const std::function<void(const uint8_t*, int32_t, int32_t)>& rows, int bytesPerPixel, int buffers) {
  const std::string error = DecodeBands(jpeg, band, start, rows, bytesPerPixel, buffers);
  if (!error.empty()) throw PictureError("not a readable JPEG picture (" + error + ")");
}

Bitmap DecodeJpeg(std::string_view jpeg) {
  Bitmap picture;
  std::vector<uint8_t> band;
  DecodeJpegRows(
      jpeg, band,
      [&](int32_t width, int32_t height) {
        picture = Bitmap(width, height, 0, 0, 0);
        return true;
      },
      [&](const uint8_t* rows, int32_t first, int32_t count) {
        std::memcpy(picture.At(0, first), rows, static_cast<size_t>(picture.Width) * 3 * static_cast<size_t>(count));
      });
  return picture;
}

std::string EncodeJpeg(const Bitmap& picture, int quality) {
  CheckSize(picture.Width, picture.Height);
  TjHandle encoder(tjInitCompress());
  unsigned char* out = nullptr;
  unsigned long size = 0;
  if (tjCompress2(encoder.handle, picture.Rgb.data(), picture.Width, 0, picture.Height, TJPF_RGB, &out, &size,
                  TJSAMP_444, std::clamp(quality, 1, 100), 0) != 0) {
    tjFree(out);
    throw PictureError(std::string("the JPEG picture could not be made (") + tjGetErrorStr2(encoder.handle) + ")");
  }
  std::string bytes(reinterpret_cast<const char*>(out), size);
  tjFree(out);
  return bytes;
}

namespace {

struct MemoryReader {
  std::string_view bytes;
  size_t at = 0;
};

int ReadFromMemory(GifFileType* gif, GifByteType* buffer, int length) {
  auto* reader = static_cast<MemoryReader*>(gif->UserData);
  const size_t n = std::min(static_cast<size_t>(std::max(length, 0)), reader->bytes.size() - reader->at);
  std::memcpy(buffer, reader->bytes.data() + reader->at, n);
  reader->at += n;
  return static_cast<int>(n);
}

std::string GifReason(int error) {
  const char* text = GifErrorString(error);
  return text ? text : "error " + std::to_string(error);
}

struct GifCloser {
  void operator()(GifFileType* gif) const {
    int error = 0;
    DGifCloseFile(gif, &error);
  }
};

}  // namespace

GifPicture DecodeGif(std::string_view bytes) {
  MemoryReader reader{bytes};
  int error = 0;
  std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&reader, ReadFromMemory, &error));
  if (!gif) throw PictureError(std::string("not a GIF picture (") + GifReason(error) + ")");
  if (DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1)
    throw PictureError(std::string("the GIF data is damaged (") + GifReason(gif->Error) + ")");
  GifPicture picture;
  picture.Width = gif->SWidth;
  picture.Height = gif->SHeight;
  CheckSize(picture.Width, picture.Height);
  if (int64_t{picture.Width} * picture.Height * gif->ImageCount > kMaxPicturePixels)
    throw PictureError("the GIF is too large");
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& saved = gif->SavedImages[i];
    const GifImageDesc& desc = saved.ImageDesc;
    const ColorMapObject* map = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
    if (!map || !saved.RasterBits || desc.Width <= 0 || desc.Height <= 0)
      throw PictureError("the GIF frame " + std::to_string(i) + " has no pixels or no colour table");
    GraphicsControlBlock control{};
    control.TransparentColor = NO_TRANSPARENT_COLOR;
    DGifSavedExtensionToGCB(gif.get(), i, &control);
    GifFrame frame;
    frame.Left = desc.Left;
    frame.Top = desc.Top;
    frame.Image = Bitmap(desc.Width, desc.Height, 0, 0, 0);
    frame.Opaque.assign(static_cast<size_t>(desc.Width) * static_cast<size_t>(desc.Height), 1);
    for (size_t p = 0; p < frame.Opaque.size(); ++p) {
      const int index = saved.RasterBits[p];
      if (index == control.TransparentColor) frame.Opaque[p] = 0;
      if (index < map->ColorCount) {  // an index beyond the table stays black
        frame.Image.Rgb[p * 3] = map->Colors[index].Red;
        frame.Image.Rgb[p * 3 + 1] = map->Colors[index].Green;
        frame.Image.Rgb[p * 3 + 2] = map->Colors[index].Blue;
      }
    }
    picture.Frames.push_back(std::move(frame));
  }
  return picture;
}

void DrawFrame(Bitmap& target, const GifFrame& frame, int32_t x, int32_t y, int32_t clipLeft, int32_t clipWidth,
               bool honourTransparency) {
  const Bitmap& image = frame.Image;
  const int32_t x0 = std::max({0, x, clipLeft});
  const int32_t x1 = std::min({target.Width, x + image.Width, clipLeft + clipWidth});
  const int32_t y0 = std::max(0, y), y1 = std::min(target.Height, y + image.Height);
  for (int32_t row = y0; row < y1; ++row)
    for (int32_t col = x0; col < x1; ++col) {
      const size_t p = static_cast<size_t>(row - y) * image.Width + (col - x);
      if (honourTransparency && !frame.Opaque[p]) continue;
      std::memcpy(target.At(col, row), image.Rgb.data() + p * 3, 3);
    }
}

}  // namespace panelcraft
