// The virtual display: palette, colour conversion, reading the ROM image and
// the plain drawing operations.
#include <algorithm>
#include <cstring>
#include <limits>

#include "device/rom.h"
#include "sim/gd.h"

namespace panelcraft {

const std::array<uint16_t, Tgd::PaletteSize> Tgd::InitialPalette = {
    0x0000, 0xF800, 0x07E0, 0x001F, 0xFFE0, 0x07FF, 0xF81F, 0xCE79,  //
    0x4208, 0xC208, 0x4608, 0x4218, 0xCE68, 0x4679, 0xCA39, 0xFFFF,  //
    0xFFFF, 0xF800, 0xFFFF, 0xCE79, 0x4208, 0x0000, 0x2B25, 0x1FC3,  //
    0x1FC3, 0x0320, 0x07E0, 0xF800, 0xFFE0, 0x07E0, 0xF800, 0xFFE0,  //
    0xFFE0, 0x07FF, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000, 0x0000,  //
    0x026B, 0x75D7, 0x3B94, 0xDB8B, 0x9BCB, 0x7BD7, 0xD4C9, 0x824F,  //
    0x956B, 0x9317, 0x2046, 0x44F4, 0x23BD, 0xD245, 0x8505, 0x5295,  //
    0xD3E2, 0x608A, 0x7CC5, 0x7194, 0x2124, 0x239D, 0x0000, 0x0000,
};

Tgd::Tgd() { InitPalette(); }

SurfaceColour Tgd::ToSurfaceColour(uint32_t v) {
  v &= 0xFFFF;
  return {static_cast<uint8_t>((v >> 11) * 8), static_cast<uint8_t>(((v >> 5) & 63) * 4),
          static_cast<uint8_t>((v & 31) * 8)};
}

uint16_t Tgd::ToRgb565(int red, int green, int blue) {
  return static_cast<uint16_t>(((red & 0xF8) << 8) | ((green & 0xFC) << 3) | ((blue & 0xFF) >> 3));
}

SurfaceColour Tgd::P(int32_t c) const {
  return Palette[static_cast<size_t>(((c % PaletteSize) + PaletteSize) % PaletteSize)];
}

void Tgd::InitPalette() {
  for (int i = 0; i < PaletteSize; ++i) Palette[i] = ToSurfaceColour(InitialPalette[i]);
  ReloadFontHeader();
}

void Tgd::ReloadFontHeader() {
  Hz16Base = DefaultHz16Base;
  Hz24Base = Hz32Base = Hz48Base = 0;
  Hz16Layout = Hz24Layout = Hz32Layout = 1;
  ReadImage(FontHeaderAddress, 128);
  const auto& h = ReadWindow;
  if (h[0] != 0xAE || h[1] != 0x5F || h[126] != 0x5E || h[127] != 0xAF) return;
  auto v = [&h](int k) { return int32_t{h[k]} << 8 | h[k + 1]; };
  Hz24Base = v(2);
  Hz32Base = v(4);
  Hz48Base = v(6);
  if (v(4) == v(2)) Hz24Base = 0;
  if (v(6) == v(4)) Hz32Base = 0;
  if (v(8) == v(6)) Hz48Base = 0;
  if (v(10) != 0xFFFF && v(8) < v(10)) {
    Hz16Base = v(8);
    Hz16Layout = 3;
  }
  if (v(12) != 0xFFFF && v(10) < v(12)) {
    Hz24Base = v(10);
    Hz24Layout = 3;
  }
  if (v(14) != 0xFFFF && v(12) < v(14)) {
    Hz32Base = v(12);
    Hz32Layout = 3;
  }
}

void Tgd::ReadImage(int64_t address, int n) {
  n = std::clamp(n, 0, ReadWindowSize);
  if (address < 0) address = ImageEnd;
  const size_t size = rom_ ? rom_->Image.size() : 0;
  if (address < ImageEnd - n && static_cast<uint64_t>(address) + static_cast<uint64_t>(n) <= size) {
    std::memcpy(ReadWindow.data(), rom_->Image.data() + address, static_cast<size_t>(n));
  } else {
    std::memset(ReadWindow.data(), 0xFF, static_cast<size_t>(n));
  }
}

void Tgd::ReadColumn(int64_t address, int n) {
  n = std::clamp(n, 0, ColumnWindowSize);
  const size_t size = rom_ ? rom_->Image.size() : 0;
  if (address >= 0 && address < ImageEnd - n && static_cast<uint64_t>(address) + static_cast<uint64_t>(n) <= size)
    std::memcpy(ColumnWindow.data(), rom_->Image.data() + address, static_cast<size_t>(n));
}

Tgd::PictureEntry Tgd::ReadPictureEntry(int32_t pn) {
  ReadImage(PictureIndexAddress + int64_t{8} * pn, 8);
  const auto& w = ReadWindow;
  return {int32_t{w[0]} << 8 | w[1], int32_t{w[2]} << 8 | w[3], int64_t{w[5]} << 16 | int64_t{w[6]} << 8 | w[7]};
}

int Tgd::Clip(int64_t v) {
  // Coordinates far outside any surface keep their side of it.
  constexpr int64_t limit = std::numeric_limits<int>::max() / 4;
  return static_cast<int>(std::clamp<int64_t>(v, -limit, limit));
}

void Tgd::CoverArea(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  PosX = left;
  PosY = top;
  PosX2 = right;
  PosY2 = bottom;
  AreaWidth = right - left;
  AreaHeight = bottom - top;
  SetArea(left, top, right, bottom);
}

void Tgd::SetArea(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  AreaLeft = left;
  AreaTop = top;
  AreaRight = right;
  AreaBottom = bottom;
}

void Tgd::Clear(int32_t c) { FillRect(0, 0, DisplayWidth, DisplayHeight, c); }

void Tgd::OutlineRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t c) {
  // Four lines without end points: each sets the corner it starts from, so
  // together they set every pixel of the outline.
  LineTo(x1, y1, x1, y2, c);
  LineTo(x1, y2, x2, y2, c);
  LineTo(x2, y2, x2, y1, c);
  LineTo(x2, y1, x1, y1, c);
}

void Tgd::LineTo(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t c) {
  if (surface_) surface_->Line(Clip(x1), Clip(y1), Clip(x2), Clip(y2), P(c));
}

void Tgd::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t c) {
  if (surface_) surface_->FillRect(left, top, right, bottom, P(c));
}

void Tgd::DrawBox() {
  OutlineRect(PosX, PosY, PosX2, PosY2, ForeColour);
  SetArea(PosX, PosY, PosX2, PosY2);
}

void Tgd::FillBox() {
  FillRect(PosX, PosY, PosX2, PosY2, ForeColour);
  SetArea(PosX, PosY, PosX2, PosY2);
}

void Tgd::DrawWin8Box() {
  const int32_t scheme = ForeColour;
  ForeColour = scheme + 50;
  FillBox();
  ForeColour = scheme + 40;
  DrawBox();
}

void Tgd::DrawLine() { LineTo(PosX, PosY, PosX2, PosY2, ForeColour); }

void Tgd::DrawPoint() { Put(PosX, PosY, P(ForeColour)); }

void Tgd::DrawCircle(int32_t x, int32_t y, int32_t r, int32_t c) {
  const SurfaceColour colour = P(c);
  int64_t i = 0, rr = r, d = 3 - 2 * int64_t{r};
  while (rr >= i) {
    Put(x + i, y + rr, colour);
    Put(x + rr, y + i, colour);
    Put(x - rr, y + i, colour);
    Put(x - i, y + rr, colour);
    Put(x - i, y - rr, colour);
    Put(x - rr, y - i, colour);
    Put(x + rr, y - i, colour);
    Put(x + i, y - rr, colour);
    if (d < 0) {
      d += 4 * i + 6;
    } else {
      d += 4 * (i - rr);
      --rr;
    }
    ++i;
  }
}

void Tgd::FillCircle(int32_t x, int32_t y, int32_t r, int32_t c) {
  if (surface_)
    surface_->FillEllipse(Clip(int64_t{x} - r), Clip(int64_t{y} - r), Clip(int64_t{x} + r), Clip(int64_t{y} + r), P(c));
}

}  // namespace panelcraft
