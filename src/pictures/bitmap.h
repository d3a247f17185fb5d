// Pictures in memory and the two picture file formats: JPEG through
// libjpeg-turbo (decode and encode) and GIF through giflib (every frame with
// its position). Decoding never trusts the file: a truncated or foreign file,
// or one too large to hold, gives a PictureError naming the reason.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace panelcraft {

class PictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// 8-bit RGB, rows top to bottom, 3 bytes per pixel.
struct Bitmap {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<uint8_t> Rgb;

  Bitmap() = default;
  // A picture of the size filled with one colour.
  Bitmap(int32_t width, int32_t height, uint8_t r = 255, uint8_t g = 255, uint8_t b = 255);
  uint8_t* At(int32_t x, int32_t y) { return Rgb.data() + (static_cast<size_t>(y) * Width + x) * 3; }
  const uint8_t* At(int32_t x, int32_t y) const { return Rgb.data() + (static_cast<size_t>(y) * Width + x) * 3; }
  // Copies `source` with its left top corner at (x, y), clipped to this picture.
  void Draw(const Bitmap& source, int32_t x, int32_t y);
};

// The most pixels a decoded picture may have (about 400 MB of RGB).
inline constexpr int64_t kMaxPicturePixels = int64_t{1} << 27;

Bitmap DecodeJpeg(std::string_view jpeg);
// Decodes a JPEG a band of at most 32 rows at a time into `band`, so that
// each band is used while it is still in the cache: `start(width, height)`
// comes first and may refuse the picture by returning false; then
// `rows(band, firstRow, count)` for each band, top to bottom. A file that
// ends before its last row is damaged. Pixels are RGB, or RGB and one unused
// byte when `bytesPerPixel` is 4. With `buffers` 2 the bands alternate between
// two halves of `band`, so a band handed to `rows` stays intact while the
// next one is decoded. Throws PictureError.
void DecodeJpegRows(std::string_view jpeg, std::vector<uint8_t>& band,
                    const std::function<bool(int32_t, int32_t)>& start,
                    const std::function<void(const uint8_t*, int32_t, int32_t)>& rows, int bytesPerPixel = 3,
                    int buffers = 1);
// `quality` 1..100, 4:4:4 sampling.
std::string EncodeJpeg(const Bitmap& picture, int quality);

// A GIF: the logical size and every frame at its position. A frame's pixels
// are its own rectangle; transparent pixels are marked.
struct GifFrame {
  int32_t Left = 0;
  int32_t Top = 0;
  Bitmap Image;
  std::vector<uint8_t> Opaque;  // per pixel: 1 drawn, 0 transparent
};
struct GifPicture {
  int32_t Width = 0;
  int32_t Height = 0;
  std::vector<GifFrame> Frames;  // at least one
};
GifPicture DecodeGif(std::string_view gif);

// Draws a frame onto `target` with its left top corner at (x, y), clipped to
// the rectangle (clipLeft, 0)..(clipLeft + clipWidth, target height). With
// `honourTransparency` transparent pixels leave the target as it was.
void DrawFrame(Bitmap& target, const GifFrame& frame, int32_t x, int32_t y, int32_t clipLeft, int32_t clipWidth,
               bool honourTransparency);

}  // namespace panelcraft
