#include "sim/surface.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>

namespace panelcraft {

void Surface::Resize(int width, int height) {
  width_ = std::clamp(width, 0, MaxSide);
  height_ = std::clamp(height, 0, MaxSide);
  pixels_.assign(static_cast<size_t>(width_) * static_cast<size_t>(height_), 0);
}

void Surface::Line(int x1, int y1, int x2, int y2, SurfaceColour c) {
  // Bresenham in 64 bits, so that far-off coordinates cannot overflow. A line
  // that lies wholly outside on one side draws nothing and is skipped at
  // once, which keeps huge lines from walking millions of hidden pixels.
  if ((x1 < 0 && x2 < 0) || (y1 < 0 && y2 < 0) || (x1 >= width_ && x2 >= width_) || (y1 >= height_ && y2 >= height_))
    return;
  int64_t x = x1, y = y1;
  const int64_t dx = std::llabs(int64_t{x2} - x1), dy = -std::llabs(int64_t{y2} - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int64_t err = dx + dy;
  const uint32_t packed = Pack(c);
  while (x != x2 || y != y2) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) pixels_[Index(static_cast<int>(x), static_cast<int>(y))] = packed;
    const int64_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void Surface::FillRect(int left, int top, int right, int bottom, SurfaceColour c) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (right <= left || bottom <= top) return;
  const uint32_t packed = Pack(c);
  for (int y = top; y < bottom; ++y) std::fill_n(pixels_.begin() + static_cast<ptrdiff_t>(Index(left, y)), right - left, packed);
}

void Surface::FillEllipse(int left, int top, int right, int bottom, SurfaceColour c) {
  if (right <= left || bottom <= top) return;
  // Pixel centres inside the ellipse that touches the rectangle's edges.
  const double l = left, t = top, r = right, b0 = bottom;
  const double cx = (l + r) / 2, cy = (t + b0) / 2;
  const double a = (r - l) / 2, b = (b0 - t) / 2;
  const int rowFrom = std::max(top, 0), rowTo = std::min(bottom, height_);
  const uint32_t packed = Pack(c);
  for (int y = rowFrom; y < rowTo; ++y) {
    const double v = (y + 0.5 - cy) / b;
    const double w = 1 - v * v;
    if (w < 0) continue;
    const double half = a * std::sqrt(w);
    // Columns whose centre x + 0.5 lies within cx +- half.
    const double from = std::ceil(cx - half - 0.5), to = std::floor(cx + half - 0.5);
    const int x0 = static_cast<int>(std::max(from, 0.0));
    const int x1 = static_cast<int>(std::min(to, static_cast<double>(width_) - 1));
    if (x1 < x0) continue;
    std::fill_n(pixels_.begin() + static_cast<ptrdiff_t>(Index(x0, y)), x1 - x0 + 1, packed);
  }
}

}  // namespace panelcraft
