// DrawingSurface: the 1-bit 3200 x 255 surface the glyph rasterizer draws on.
// x grows to the right and y downwards from (0, 0); a pixel is ink (black) or
// background (white). Drawing outside the surface is clipped and a pixel read
// outside it is background.
#pragma once

#include <cstdint>
#include <vector>

namespace panelcraft {

class DrawingSurface {
 public:
  static constexpr int Width = 3200;
  static constexpr int Height = 255;

  DrawingSurface();

  // Fills the rectangle from (left, top) to (right, bottom), right column and
  // bottom row excluded, with background.
  void FillWhite(int left, int top, int right, int bottom);
  void SetInk(int x, int y);
  bool IsInk(int x, int y) const;
  // Whether row y holds ink in the columns left..right (both included).
  bool RowHasInk(int y, int left, int right) const;
  // Puts the set bits of a 1-bit picture as ink with its top-left corner at
  // (x, y): `rows` rows of `pitch` bytes, the first pixel of a row in bit 7 of
  // its first byte.
  void DrawBits(int x, int y, const uint8_t* bits, int width, int rows, int pitch);

 private:
  static constexpr int RowBytes = Width / 8;
  std::vector<uint8_t> bits_;  // row-major, bit 7 of a byte is its leftmost pixel; 1 is ink
};

}  // namespace panelcraft
