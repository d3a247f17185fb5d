// Surface: the virtual display's framebuffer, 8 bits a channel. It offers the
// four drawing steps the display needs (a pixel, a line without its end
// point, a rectangle fill without its right column and bottom row, an
// ellipse fill in a bounding rectangle); everything outside the surface is
// clipped, never a fault.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace panelcraft {

struct SurfaceColour {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
  friend bool operator==(const SurfaceColour&, const SurfaceColour&) = default;
};

class Surface {
 public:
  // Largest side accepted by Resize; larger requests are cut to it.
  static constexpr int MaxSide = 8192;

  Surface() = default;
  Surface(int width, int height) { Resize(width, height); }

  // A new size; every pixel becomes black. Negative sides count as 0.
  void Resize(int width, int height);
  int Width() const { return width_; }
  int Height() const { return height_; }

  void SetPixel(int x, int y, SurfaceColour c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[Index(x, y)] = Pack(c);
  }
  // Black outside the surface.
  SurfaceColour Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return {};
    return Unpack(pixels_[Index(x, y)]);
  }
  // From (x1, y1) towards (x2, y2); the end point itself is not set.
  void Line(int x1, int y1, int x2, int y2, SurfaceColour c);
  // Columns left .. right - 1, rows top .. bottom - 1; nothing when right <=
  // left or bottom <= top.
  void FillRect(int left, int top, int right, int bottom, SurfaceColour c);
  // The ellipse inscribed in the rectangle (right and bottom excluded),
  // outline and inside in one colour.
  void FillEllipse(int left, int top, int right, int bottom, SurfaceColour c);

  // Packed 0x00RRGGBB pixels, row by row.
  const std::vector<uint32_t>& Pixels() const { return pixels_; }

  static uint32_t Pack(SurfaceColour c) { return (uint32_t{c.Red} << 16) | (uint32_t{c.Green} << 8) | c.Blue; }
  static SurfaceColour Unpack(uint32_t p) {
    return {static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p)};
  }

 private:
  size_t Index(int x, int y) const { return static_cast<size_t>(y) * static_cast<size_t>(width_) + static_cast<size_t>(x); }

  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;
};

}  // namespace panelcraft
