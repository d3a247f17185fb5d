#include "pictures/jpglist.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstring>
#include <stdexcept>

#include "app/files.h"

namespace panelcraft {

namespace {

bool IsGifName(const std::filesystem::path& path) {
  std::string ext = path.extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext == ".gif";
}

int32_t Nearest(double v) { return static_cast<int32_t>(std::lround(v)); }

}  // namespace

Tjpglist::Tjpglist()
    : FullPictures(SlotCount), Thumbnails(SlotCount), IndexArea(IndexAreaSize, 0xFF), DataArea(DataAreaSize, 0xFF) {}

void Tjpglist::Clear() {
  Count = 0;
  DataPos = 0;
  std::fill(IndexArea.begin(), IndexArea.end(), 0xFF);
  // DataArea is not refilled here: every byte up to DataPos is written again
  // before it counts (pixels, or 0xFF in an alignment gap), so refilling the
  // old data would only cost time.
}

bool Tjpglist::AddFile(const std::filesystem::path& path) {
  if (Count >= SlotCount) return false;
  std::string bytes = ReadFileBytes(path);
  return IsGifName(path) ? AddGif(bytes) : AddJpeg(std::move(bytes));
}

bool Tjpglist::AddJpeg(std::string jpeg) {
  if (Count >= SlotCount) return false;
  Bitmap picture = DecodeJpeg(jpeg);
  Slot& slot = FullPictures[static_cast<size_t>(Count)];
  slot = Slot{std::move(jpeg), Bitmap(), picture.Width, picture.Height};
  Thumbnails[static_cast<size_t>(Count)] = MakeThumbnail(picture);
  ++Count;
  return true;
}

bool Tjpglist::AddGif(std::string_view gif) {
  if (Count >= SlotCount) return false;
  Bitmap strip = GifStrip(DecodeGif(gif));
  Thumbnails[static_cast<size_t>(Count)] = MakeThumbnail(strip);
  Slot& slot = FullPictures[static_cast<size_t>(Count)];
  slot = Slot{std::string(), std::move(strip), 0, 0};
  slot.Width = slot.Strip.Width;
  slot.Height = slot.Strip.Height;
  ++Count;
  return true;
}

Bitmap Tjpglist::GifStrip(const GifPicture& gif) {
  Bitmap strip(gif.Width * static_cast<int32_t>(gif.Frames.size()), gif.Height);
  for (size_t i = 0; i < gif.Frames.size(); ++i) {
    const int32_t cell = static_cast<int32_t>(i) * gif.Width;
    DrawFrame(strip, gif.Frames[0], cell, 0, cell, gif.Width, true);
    const GifFrame& frame = gif.Frames[i];
    DrawFrame(strip, frame, cell + frame.Left, frame.Top, cell, gif.Width, true);
  }
  return strip;
}

Bitmap Tjpglist::MakeThumbnail(const Bitmap& picture) {
  const int32_t w = picture.Width, h = picture.Height;
  if (w <= ThumbnailSize && h <= ThumbnailSize) return picture;
  int32_t newWidth, newHeight, left = 0, top = 0;
  if (static_cast<double>(w) / ThumbnailSize > static_cast<double>(h) / ThumbnailSize) {
    newWidth = ThumbnailSize;
    newHeight = std::max<int32_t>(1, static_cast<int32_t>(int64_t{ThumbnailSize} * h / w));
    top = (ThumbnailSize - newHeight) / 2;
  } else {
    newHeight = ThumbnailSize;
    newWidth = std::max<int32_t>(1, static_cast<int32_t>(int64_t{ThumbnailSize} * w / h));
    left = (ThumbnailSize - newWidth) / 2;
  }
  const double sx = static_cast<double>(w) / newWidth, sy = static_cast<double>(h) / newHeight;
  Bitmap preview(ThumbnailSize, ThumbnailSize);
  for (int32_t y = 0; y < newHeight; ++y) {
    const int32_t y0 = std::clamp(Nearest(y * sy), 0, h - 1);
    const int32_t y1 = std::clamp(Nearest((y + 1) * sy), y0 + 1, h);
    for (int32_t x = 0; x < newWidth; ++x) {
      const int32_t x0 = std::clamp(Nearest(x * sx), 0, w - 1);
      const int32_t x1 = std::clamp(Nearest((x + 1) * sx), x0 + 1, w);
      uint64_t sum[3] = {0, 0, 0};
      for (int32_t sy0 = y0; sy0 < y1; ++sy0) {
        const uint8_t* p = picture.At(x0, sy0);
        for (int32_t sx0 = x0; sx0 < x1; ++sx0, p += 3) {
          sum[0] += p[0];
          sum[1] += p[1];
          sum[2] += p[2];
        }
      }
      const uint64_t n = static_cast<uint64_t>(x1 - x0) * static_cast<uint64_t>(y1 - y0);
      uint8_t* out = preview.At(left + x, top + y);
      for (int c = 0; c < 3; ++c) out[c] = static_cast<uint8_t>(sum[c] / n);
    }
  }
  return preview;
}

Tjpglist::Converted Tjpglist::ConvertPicture(int32_t entry, int32_t slotIndex) {
  if (entry < 0 || static_cast<uint32_t>(entry) >= IndexAreaSize / 8) throw std::out_of_range("picture entry");
  if (slotIndex < 0 || slotIndex >= SlotCount) throw std::out_of_range("picture slot");
  const Slot& slot = FullPictures[static_cast<size_t>(slotIndex)];
  int32_t w = slot.Width, h = slot.Height;
  if (w >= MaxWidth || h >= MaxHeight) return Converted::TooLarge;

  uint32_t start = DataPos;
  if (StoreMode == 1 && start % 512 != 0) start = (start / 512 + 1) * 512;
  const uint64_t bytes = uint64_t{2} * static_cast<uint64_t>(w) * static_cast<uint64_t>(h);
  if (start > DataAreaSize || bytes > DataAreaSize - start) return Converted::Full;

  std::fill(DataArea.begin() + DataPos, DataArea.begin() + start, 0xFF);  // the alignment gap
  DataPos = start;
  const uint32_t a = DataPos + BaseAddress;
  uint8_t* e = IndexArea.data() + 8 * entry;
  e[0] = static_cast<uint8_t>(w >> 8);
  e[1] = static_cast<uint8_t>(w);
  e[2] = static_cast<uint8_t>(h >> 8);
  e[3] = static_cast<uint8_t>(h);
  if (StoreMode == 1) {
    e[4] = static_cast<uint8_t>(a);
    e[5] = static_cast<uint8_t>(a >> 8);
    e[6] = static_cast<uint8_t>(a >> 16);
    e[7] = static_cast<uint8_t>(a >> 24);
  } else {
    e[4] = 0;
    e[5] = static_cast<uint8_t>(a >> 16);
    e[6] = static_cast<uint8_t>(a >> 8);
    e[7] = static_cast<uint8_t>(a);
  }
  if (slot.Strip.Width > 0) {
    WritePixels(slot.Strip.Rgb.data(), 3, w, 0, h, h);
  } else {
    try {
      DecodeJpegRows(
          slot.Jpeg, rgb_, [&](int32_t width, int32_t height) { return width == w && height == h; },
          [&](const uint8_t* band, int32_t first, int32_t rows) { WritePixels(band, 4, w, first, rows, h); }, 4);
    } catch (const PictureError&) {
      std::fill(IndexArea.begin() + 8 * entry, IndexArea.begin() + 8 * entry + 8, 0xFF);
      throw;
    }
  }
  DataPos += static_cast<uint32_t>(w) * static_cast<uint32_t>(h) * 2;
  return Converted::Written;
}

namespace {

// The two RGB565 bytes of each pixel of a band, row by row, as 16-bit values
// whose bytes in memory are in the layout's order: a plain loop over
// neighbouring pixels that the compiler turns into vector code.
template <int BytesPerPixel, bool HighFirst>
void ConvertRows(const uint8_t* rgb, size_t count, uint16_t* values) {
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* p = rgb + i * BytesPerPixel;
    uint32_t hi = (p[0] & 0xF8u) | (p[1] >> 5);
    uint32_t lo = ((p[1] << 3) & 0xE0u) | (p[2] >> 3);
    hi = hi == 0xFF ? 0xF7 : hi;
    lo = lo == 0xFF ? 0xDE : lo;
    const uint32_t first = HighFirst ? hi : lo, second = HighFirst ? lo : hi;
    values[i] =
        static_cast<uint16_t>(std::endian::native == std::endian::little ? first | second << 8 : second | first << 8);
  }
}

}  // namespace

void Tjpglist::WritePixels(const uint8_t* rgb, int bytesPerPixel, int32_t width, int32_t firstRow, int32_t rows,
                           int32_t height) {
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(rows);
  values_.resize(count);
  const bool highFirst = StoreMode != 1;
  if (bytesPerPixel == 4)
    highFirst ? ConvertRows<4, true>(rgb, count, values_.data()) : ConvertRows<4, false>(rgb, count, values_.data());
  else
    highFirst ? ConvertRows<3, true>(rgb, count, values_.data()) : ConvertRows<3, false>(rgb, count, values_.data());
  // Then column by column: each column's share of the band is one short
  // contiguous run of output. Four columns at a time share their reads.
  const size_t column = static_cast<size_t>(height) * 2;
  uint8_t* out = DataArea.data() + DataPos + static_cast<size_t>(firstRow) * 2;
  int32_t x = 0;
  for (; x + 4 <= width; x += 4, out += 4 * column) {
    const uint16_t* v = values_.data() + x;
    for (int32_t y = 0; y < rows; ++y, v += width) {
      std::memcpy(out + 2 * y, v, 2);
      std::memcpy(out + column + 2 * y, v + 1, 2);
      std::memcpy(out + 2 * column + 2 * y, v + 2, 2);
      std::memcpy(out + 3 * column + 2 * y, v + 3, 2);
    }
  }
  for (; x < width; ++x, out += column) {
    const uint16_t* v = values_.data() + x;
    for (int32_t y = 0; y < rows; ++y, v += width) std::memcpy(out + 2 * y, v, 2);
  }
}

}  // namespace panelcraft
