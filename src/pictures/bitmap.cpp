#include "pictures/bitmap.h"

#include <gif_lib.h>
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

void ReadJpegHeader(tjhandle handle, std::string_view jpeg, int32_t& width, int32_t& height) {
  int w = 0, h = 0, subsampling = 0, colorspace = 0;
  if (jpeg.size() > 0xFFFFFFFFu ||
      tjDecompressHeader3(handle, reinterpret_cast<const unsigned char*>(jpeg.data()),
                          static_cast<unsigned long>(jpeg.size()), &w, &h, &subsampling, &colorspace) != 0)
    throw PictureError(std::string("not a JPEG picture (") + tjGetErrorStr2(handle) + ")");
  CheckSize(w, h);
  width = w;
  height = h;
}

}  // namespace

void JpegSize(std::string_view jpeg, int32_t& width, int32_t& height) {
  TjHandle decoder(tjInitDecompress());
  ReadJpegHeader(decoder.handle, jpeg, width, height);
}

void DecodeJpegInto(void* decoder, std::string_view jpeg, int32_t& width, int32_t& height, std::vector<uint8_t>& rgb) {
  const auto handle = static_cast<tjhandle>(decoder);
  ReadJpegHeader(handle, jpeg, width, height);
  rgb.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
  if (tjDecompress2(handle, reinterpret_cast<const unsigned char*>(jpeg.data()), static_cast<unsigned long>(jpeg.size()),
                    rgb.data(), width, 0, height, TJPF_RGB, 0) != 0) {
    // Warnings about odd but readable data are accepted; a file that ends
    // before its pixels do is not.
    const std::string reason = tjGetErrorStr2(handle);
    if (tjGetErrorCode(handle) != TJERR_WARNING || reason.find("Premature end") != std::string::npos)
      throw PictureError("the JPEG data is damaged (" + reason + ")");
  }
}

Bitmap DecodeJpeg(std::string_view jpeg) {
  TjHandle decoder(tjInitDecompress());
  Bitmap picture;
  DecodeJpegInto(decoder.handle, jpeg, picture.Width, picture.Height, picture.Rgb);
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
  if (!gif) throw PictureError(std::string("not a GIF picture (") + GifErrorString(error) + ")");
  if (DGifSlurp(gif.get()) != GIF_OK || gif->ImageCount < 1)
    throw PictureError(std::string("the GIF data is damaged (") + GifErrorString(gif->Error) + ")");
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
