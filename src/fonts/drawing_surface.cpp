#include "fonts/drawing_surface.h"

#include <algorithm>
#include <cstddef>

namespace panelcraft {

DrawingSurface::DrawingSurface() : bits_(static_cast<size_t>(RowBytes) * Height, 0) {}

void DrawingSurface::FillWhite(int left, int top, int right, int bottom) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, Width);
  bottom = std::min(bottom, Height);
  if (left >= right || top >= bottom) return;
  const int firstByte = left / 8;
  const int lastByte = (right - 1) / 8;
  const uint8_t firstMask = static_cast<uint8_t>(0xFF >> (left % 8));            // pixels to clear
  const uint8_t lastMask = static_cast<uint8_t>(0xFF << (7 - (right - 1) % 8));  // pixels to clear
  for (int y = top; y < bottom; ++y) {
    uint8_t* row = bits_.data() + static_cast<size_t>(y) * RowBytes;
    if (firstByte == lastByte) {
      row[firstByte] &= static_cast<uint8_t>(~(firstMask & lastMask));
      continue;
    }
    row[firstByte] &= static_cast<uint8_t>(~firstMask);
    std::fill(row + firstByte + 1, row + lastByte, uint8_t{0});
    row[lastByte] &= static_cast<uint8_t>(~lastMask);
  }
}

void DrawingSurface::SetInk(int x, int y) {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return;
  bits_[static_cast<size_t>(y) * RowBytes + static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
}

bool DrawingSurface::IsInk(int x, int y) const {
  if (x < 0 || y < 0 || x >= Width || y >= Height) return false;
  return bits_[static_cast<size_t>(y) * RowBytes + static_cast<size_t>(x / 8)] & (0x80 >> (x % 8));
}

bool DrawingSurface::RowHasInk(int y, int left, int right) const {
  left = std::max(left, 0);
  right = std::min(right, Width - 1);
  if (y < 0 || y >= Height || left > right) return false;
  const uint8_t* row = bits_.data() + static_cast<size_t>(y) * RowBytes;
  const int firstByte = left / 8;
  const int lastByte = right / 8;
  const uint8_t firstMask = static_cast<uint8_t>(0xFF >> (left % 8));
  const uint8_t lastMask = static_cast<uint8_t>(0xFF << (7 - right % 8));
  if (firstByte == lastByte) return row[firstByte] & firstMask & lastMask;
  if (row[firstByte] & firstMask) return true;
  for (int i = firstByte + 1; i < lastByte; ++i)
    if (row[i]) return true;
  return row[lastByte] & lastMask;
}

void DrawingSurface::DrawBits(int x, int y, const uint8_t* bits, int width, int rows, int pitch) {
  const int firstRow = std::max(0, -y);
  const int endRow = std::min(rows, Height - y);
  const int firstCol = std::max(0, -x);
  const int endCol = std::min(width, Width - x);
  for (int r = firstRow; r < endRow; ++r) {
    const uint8_t* src = bits + static_cast<std::ptrdiff_t>(r) * pitch;
    uint8_t* row = bits_.data() + static_cast<size_t>(y + r) * RowBytes;
    for (int c = firstCol; c < endCol; ++c) {
      if (!(src[c / 8] & (0x80 >> (c % 8)))) continue;
      const int px = x + c;
      row[px / 8] |= static_cast<uint8_t>(0x80 >> (px % 8));
    }
  }
}

}  // namespace panelcraft
