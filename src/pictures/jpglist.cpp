#include "pictures/jpglist.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <stdexcept>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

namespace {

// Pictures from this size on are decoded and written on two threads.
constexpr int64_t kPipelinedPixels = 256 * 1024;

// Hands bands from the decoding thread to a writing thread, one at a time:
// Hand returns once the band before has been written, so the decoder may
// reuse that band's buffer for the band after next.
class BandPipeline {
 public:
  using Write = std::function<void(const uint8_t*, int32_t, int32_t)>;
  explicit BandPipeline(Write write) : write_(std::move(write)), thread_([this] { Run(); }) {}
  ~BandPipeline() {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }

  void Hand(const uint8_t* band, int32_t first, int32_t rows) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return band_ == nullptr; });
    band_ = band;
    first_ = first;
    rows_ = rows;
    changed_.notify_all();
  }
  // Returns when the last band handed has been written.
  void Finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return band_ == nullptr; });
  }

 private:
  void Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [&] { return band_ != nullptr || stop_; });
      if (band_ == nullptr) return;  // stopped with nothing left to write
      const uint8_t* band = band_;
      const int32_t first = first_, rows = rows_;
      lock.unlock();
      write_(band, first, rows);
      lock.lock();
      band_ = nullptr;
      changed_.notify_all();
    }
  }

  Write write_;
  std::mutex mutex_;
  std::condition_variable changed_;
  const uint8_t* band_ = nullptr;
  int32_t first_ = 0, rows_ = 0;
  bool stop_ = false;
  std::thread thread_;  // last: starts once the fields above exist
};

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
      const auto same = [&](int32_t width, int32_t height) { return width == w && height == h; };
      const auto write = [&](const uint8_t* band, int32_t first, int32_t rows) {
        WritePixels(band, 4, w, first, rows, h);
      };
      if (int64_t{w} * h >= kPipelinedPixels) {
        // Large pictures: one thread decodes the next band while another
        // writes the last one into its columns.
        BandPipeline pipeline(write);
        DecodeJpegRows(
            slot.Jpeg, rgb_, same,
            [&](const uint8_t* band, int32_t first, int32_t rows) { pipeline.Hand(band, first, rows); }, 4, 2);
        pipeline.Finish();
      } else {
        DecodeJpegRows(slot.Jpeg, rgb_, same, write, 4);
      }
    } catch (const PictureError&) {
      std::fill(IndexArea.begin() + 8 * entry, IndexArea.begin() + 8 * entry + 8, 0xFF);
      throw;
    }
  }
  DataPos += static_cast<uint32_t>(w) * static_cast<uint32_t>(h) * 2;
  return Converted::Written;
}

namespace {

// A pixel's two RGB565 bytes as a 16-bit value whose bytes in memory are in
// the layout's order. A byte that would be 0xFF (the flash's blank value)
// becomes 0xF7 (high) or 0xDE (low).
template <bool HighFirst>
uint16_t PixelValue(const uint8_t* p) {
  uint32_t hi = (p[0] & 0xF8u) | (p[1] >> 5);
  uint32_t lo = ((p[1] << 3) & 0xE0u) | (p[2] >> 3);
  hi = hi == 0xFF ? 0xF7 : hi;
  lo = lo == 0xFF ? 0xDE : lo;
  const uint32_t first = HighFirst ? hi : lo, second = HighFirst ? lo : hi;
  return static_cast<uint16_t>(std::endian::native == std::endian::little ? first | second << 8 : second | first << 8);
}

// A band of `rows` rows of `width` pixels, each `BytesPerPixel` bytes (RGB or
// RGBX), written column by column: column x's run of 2 * rows bytes starts at
// out + x * column.
template <int BytesPerPixel, bool HighFirst>
class BandWriter {
 public:
  BandWriter(const uint8_t* rgb, int32_t width, int32_t rows, size_t column, uint8_t* out)
      : rgb_(rgb), width_(width), rows_(rows), column_(column), out_(out) {}

  void Write() {
    int32_t fullColumns = 0, fullRows = 0;
#if defined(__SSE2__)
    if constexpr (BytesPerPixel == 4 && std::endian::native == std::endian::little) {
      fullColumns = width_ / 8 * 8;
      fullRows = rows_ / 8 * 8;
      for (int32_t x = 0; x < fullColumns; x += 8)
        for (int32_t y = 0; y < fullRows; y += 8) Block(x, y);
    }
#endif
    if (fullColumns > 0) {
      Scalar(0, fullColumns, fullRows, rows_);  // rows below the blocks
      Scalar(fullColumns, width_, 0, rows_);    // columns right of them
      return;
    }
    // Thirty-two rows at a time, so that the rows being read stay in the cache.
    for (int32_t y = 0; y < rows_; y += 32) Scalar(0, width_, y, std::min(rows_, y + 32));
  }

 private:
  void Scalar(int32_t x0, int32_t x1, int32_t y0, int32_t y1) {
    for (int32_t x = x0; x < x1; ++x) {
      uint8_t* o = out_ + static_cast<size_t>(x) * column_ + 2 * static_cast<size_t>(y0);
      const uint8_t* p = rgb_ + (static_cast<size_t>(y0) * width_ + x) * BytesPerPixel;
      const size_t step = static_cast<size_t>(width_) * BytesPerPixel;
      for (int32_t y = y0; y < y1; ++y, o += 2, p += step) {
        const uint16_t v = PixelValue<HighFirst>(p);
        std::memcpy(o, &v, 2);
      }
    }
  }

#if defined(__SSE2__)
  // Eight RGBX pixels (little-endian words R | G << 8 | B << 16) as eight
  // 16-bit values, the same as PixelValue gives.
  static __m128i Convert8(const uint8_t* p) {
    const __m128i mask3 = _mm_set1_epi32(0x07), mask5 = _mm_set1_epi32(0x1F);
    const __m128i maskF8 = _mm_set1_epi32(0xF8), maskE0 = _mm_set1_epi32(0xE0);
    const __m128i ff = _mm_set1_epi32(0xFF);
    __m128i half[2];
    for (int k = 0; k < 2; ++k) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
      __m128i hi = _mm_or_si128(_mm_and_si128(v, maskF8), _mm_and_si128(_mm_srli_epi32(v, 13), mask3));
      __m128i lo =
          _mm_or_si128(_mm_and_si128(_mm_srli_epi32(v, 5), maskE0), _mm_and_si128(_mm_srli_epi32(v, 19), mask5));
      hi = _mm_sub_epi32(hi, _mm_and_si128(_mm_cmpeq_epi32(hi, ff), _mm_set1_epi32(0xFF - 0xF7)));
      lo = _mm_sub_epi32(lo, _mm_and_si128(_mm_cmpeq_epi32(lo, ff), _mm_set1_epi32(0xFF - 0xDE)));
      const __m128i value =
          HighFirst ? _mm_or_si128(hi, _mm_slli_epi32(lo, 8)) : _mm_or_si128(lo, _mm_slli_epi32(hi, 8));
      half[k] = _mm_srai_epi32(_mm_slli_epi32(value, 16), 16);  // sign-extended, so the pack keeps the bits
    }
    return _mm_packs_epi32(half[0], half[1]);
  }

  // An 8 x 8 block turned with the unpack instructions: eight 16-byte stores
  // instead of 64 two-byte ones.
  void Block(int32_t x, int32_t y) {
    __m128i a[8];
    for (int i = 0; i < 8; ++i) a[i] = Convert8(rgb_ + ((static_cast<size_t>(y) + i) * width_ + x) * BytesPerPixel);
    const __m128i t0 = _mm_unpacklo_epi16(a[0], a[1]), t1 = _mm_unpackhi_epi16(a[0], a[1]);
    const __m128i t2 = _mm_unpacklo_epi16(a[2], a[3]), t3 = _mm_unpackhi_epi16(a[2], a[3]);
    const __m128i t4 = _mm_unpacklo_epi16(a[4], a[5]), t5 = _mm_unpackhi_epi16(a[4], a[5]);
    const __m128i t6 = _mm_unpacklo_epi16(a[6], a[7]), t7 = _mm_unpackhi_epi16(a[6], a[7]);
    const __m128i u0 = _mm_unpacklo_epi32(t0, t2), u1 = _mm_unpackhi_epi32(t0, t2);
    const __m128i u2 = _mm_unpacklo_epi32(t1, t3), u3 = _mm_unpackhi_epi32(t1, t3);
    const __m128i u4 = _mm_unpacklo_epi32(t4, t6), u5 = _mm_unpackhi_epi32(t4, t6);
    const __m128i u6 = _mm_unpacklo_epi32(t5, t7), u7 = _mm_unpackhi_epi32(t5, t7);
    const __m128i c[8] = {_mm_unpacklo_epi64(u0, u4), _mm_unpackhi_epi64(u0, u4), _mm_unpacklo_epi64(u1, u5),
                          _mm_unpackhi_epi64(u1, u5), _mm_unpacklo_epi64(u2, u6), _mm_unpackhi_epi64(u2, u6),
                          _mm_unpacklo_epi64(u3, u7), _mm_unpackhi_epi64(u3, u7)};
    uint8_t* o = out_ + static_cast<size_t>(x) * column_ + 2 * static_cast<size_t>(y);
    for (int i = 0; i < 8; ++i)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + static_cast<size_t>(i) * column_), c[i]);
  }
#endif

  const uint8_t* rgb_;
  int32_t width_, rows_;
  size_t column_;
  uint8_t* out_;
};

template <int BytesPerPixel>
void WriteBand(bool highFirst, const uint8_t* rgb, int32_t width, int32_t rows, size_t column, uint8_t* out) {
  if (highFirst)
    BandWriter<BytesPerPixel, true>(rgb, width, rows, column, out).Write();
  else
    BandWriter<BytesPerPixel, false>(rgb, width, rows, column, out).Write();
}

}  // namespace

void Tjpglist::WritePixels(const uint8_t* rgb, int bytesPerPixel, int32_t width, int32_t firstRow, int32_t rows,
                           int32_t height) {
  const bool highFirst = StoreMode != 1;
  const size_t column = static_cast<size_t>(height) * 2;
  uint8_t* out = DataArea.data() + DataPos + static_cast<size_t>(firstRow) * 2;
  if (bytesPerPixel == 4)
    WriteBand<4>(highFirst, rgb, width, rows, column, out);
  else
    WriteBand<3>(highFirst, rgb, width, rows, column, out);
}

}  // namespace panelcraft
