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
  // Step k along the longer axis sets the pixel whose other coordinate is
  // the line's, rounded to the nearest (halves away from the start). Only the
  // steps whose long-axis coordinate lies on the surface are visited, so far
  // off end points cost nothing.
  // Coordinates are held within +-2^29 (far beyond any surface), which
  // keeps the products below in range.
  constexpr int limit = 1 << 29;
  x1 = std::clamp(x1, -limit, limit);
  y1 = std::clamp(y1, -limit, limit);
  x2 = std::clamp(x2, -limit, limit);
  y2 = std::clamp(y2, -limit, limit);
  const int64_t dx = int64_t{x2} - x1, dy = int64_t{y2} - y1;
  const int64_t adx = dx < 0 ? -dx : dx, ady = dy < 0 ? -dy : dy;
  const int sx = dx < 0 ? -1 : 1, sy = dy < 0 ? -1 : 1;
  const bool xMajor = adx >= ady;
  const int64_t steps = xMajor ? adx : ady;  // the end point is not set
  const int64_t along = xMajor ? x1 : y1, size = xMajor ? width_ : height_;
  const int dir = xMajor ? sx : sy;
  // Steps k with 0 <= along + dir * k < size.
  int64_t from = dir > 0 ? -along : along - size + 1;
  int64_t to = dir > 0 ? size - along : along + 1;
  from = std::max<int64_t>(from, 0);
  to = std::min(to, steps);
  const uint32_t packed = Pack(c);
  const int64_t longD = xMajor ? adx : ady, shortD = xMajor ? ady : adx;
  for (int64_t k = from; k < to; ++k) {
    const int64_t offset = longD == 0 ? 0 : (2 * k * shortD + longD) / (2 * longD);
    const int64_t x = xMajor ? x1 + sx * k : x1 + sx * offset;
    const int64_t y = xMajor ? y1 + sy * offset : y1 + sy * k;
    if (x >= 0 && y >= 0 && x < width_ && y < height_)
      pixels_[Index(static_cast<int>(x), static_cast<int>(y))] = packed;
  }
}

void Surface::FillRect(int left, int top, int right, int bottom, SurfaceColour c) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, width_);
  bottom = std::min(bottom, height_);
  if (right <= left || bottom <= top) return;
  const uint32_t packed = Pack(c);
  for (int y = top; y < bottom; ++y)
    std::fill_n(pixels_.begin() + static_cast<ptrdiff_t>(Index(left, y)), right - left, packed);
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
