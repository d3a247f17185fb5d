// Text, pictures, icons and cut pictures of the virtual display, all read out
// of the ROM image: the display's 12- and 16-dot fonts, the full fonts named
// by the font header, the small font, the picture index and picture data.
// One-byte characters at 12 dots come from the program's own 6 x 12 table.
#include <algorithm>

#include "sim/gd.h"

namespace panelcraft {

namespace {

// Five column bytes of codes 32..126 (bit 0 the top dot).
constexpr uint8_t kAscii12[95][5] = {
    {0x00, 0x00, 0x00, 0x00, 0x00}, {0x00, 0x00, 0x2F, 0x00, 0x00}, {0x00, 0x07, 0x00, 0x07, 0x00},
    {0x14, 0x7F, 0x14, 0x7F, 0x14}, {0x24, 0x2A, 0x7F, 0x2A, 0x12}, {0x23, 0x13, 0x08, 0x64, 0x62},
    {0x36, 0x49, 0x55, 0x22, 0x50}, {0x00, 0x05, 0x03, 0x00, 0x00}, {0x00, 0x1C, 0x22, 0x41, 0x00},
    {0x00, 0x41, 0x22, 0x1C, 0x00}, {0x14, 0x08, 0x3E, 0x08, 0x14}, {0x08, 0x08, 0x3E, 0x08, 0x08},
    {0x00, 0x00, 0xA0, 0x60, 0x00}, {0x08, 0x08, 0x08, 0x08, 0x08}, {0x00, 0x60, 0x60, 0x00, 0x00},
    {0x20, 0x10, 0x08, 0x04, 0x02}, {0x3E, 0x51, 0x49, 0x45, 0x3E}, {0x00, 0x42, 0x7F, 0x40, 0x00},
    {0x42, 0x61, 0x51, 0x49, 0x46}, {0x21, 0x41, 0x45, 0x4B, 0x31}, {0x18, 0x14, 0x12, 0x7F, 0x10},
    {0x27, 0x45, 0x45, 0x45, 0x39}, {0x3C, 0x4A, 0x49, 0x49, 0x30}, {0x01, 0x71, 0x09, 0x05, 0x03},
    {0x36, 0x49, 0x49, 0x49, 0x36}, {0x06, 0x49, 0x49, 0x29, 0x1E}, {0x00, 0x36, 0x36, 0x00, 0x00},
    {0x00, 0x56, 0x36, 0x00, 0x00}, {0x08, 0x14, 0x22, 0x41, 0x00}, {0x14, 0x14, 0x14, 0x14, 0x14},
    {0x00, 0x41, 0x22, 0x14, 0x08}, {0x02, 0x01, 0x51, 0x09, 0x06}, {0x32, 0x49, 0x59, 0x51, 0x3E},
    {0x7C, 0x12, 0x11, 0x12, 0x7C}, {0x7F, 0x49, 0x49, 0x49, 0x36}, {0x3E, 0x41, 0x41, 0x41, 0x22},
    {0x7F, 0x41, 0x41, 0x22, 0x1C}, {0x7F, 0x49, 0x49, 0x49, 0x41}, {0x7F, 0x09, 0x09, 0x09, 0x01},
    {0x3E, 0x41, 0x49, 0x49, 0x7A}, {0x7F, 0x08, 0x08, 0x08, 0x7F}, {0x00, 0x41, 0x7F, 0x41, 0x00},
    {0x20, 0x40, 0x41, 0x3F, 0x01}, {0x7F, 0x08, 0x14, 0x22, 0x41}, {0x7F, 0x40, 0x40, 0x40, 0x40},
    {0x7F, 0x02, 0x0C, 0x02, 0x7F}, {0x7F, 0x04, 0x08, 0x10, 0x7F}, {0x3E, 0x41, 0x41, 0x41, 0x3E},
    {0x7F, 0x09, 0x09, 0x09, 0x06}, {0x3E, 0x41, 0x51, 0x21, 0x5E}, {0x7F, 0x09, 0x19, 0x29, 0x46},
    {0x46, 0x49, 0x49, 0x49, 0x31}, {0x01, 0x01, 0x7F, 0x01, 0x01}, {0x3F, 0x40, 0x40, 0x40, 0x3F},
    {0x1F, 0x20, 0x40, 0x20, 0x1F}, {0x3F, 0x40, 0x38, 0x40, 0x3F}, {0x63, 0x14, 0x08, 0x14, 0x63},
    {0x07, 0x08, 0x70, 0x08, 0x07}, {0x61, 0x51, 0x49, 0x45, 0x43}, {0x00, 0x7F, 0x41, 0x41, 0x00},
    {0x55, 0x2A, 0x55, 0x2A, 0x55}, {0x00, 0x41, 0x41, 0x7F, 0x00}, {0x04, 0x02, 0x01, 0x02, 0x04},
    {0x40, 0x40, 0x40, 0x40, 0x40}, {0x00, 0x05, 0x03, 0x00, 0x00}, {0x20, 0x54, 0x54, 0x54, 0x78},
    {0x7F, 0x48, 0x44, 0x44, 0x38}, {0x38, 0x44, 0x44, 0x44, 0x20}, {0x38, 0x44, 0x44, 0x48, 0x7F},
    {0x38, 0x54, 0x54, 0x54, 0x18}, {0x08, 0x7E, 0x09, 0x01, 0x02}, {0x18, 0xA4, 0xA4, 0xA4, 0x7C},
    {0x7F, 0x08, 0x04, 0x04, 0x78}, {0x00, 0x44, 0x7D, 0x40, 0x00}, {0x40, 0x80, 0x84, 0x7D, 0x00},
    {0x7F, 0x10, 0x28, 0x44, 0x00}, {0x00, 0x41, 0x7F, 0x40, 0x00}, {0x7C, 0x04, 0x18, 0x04, 0x78},
    {0x7C, 0x08, 0x04, 0x04, 0x78}, {0x38, 0x44, 0x44, 0x44, 0x38}, {0xFC, 0x24, 0x24, 0x24, 0x18},
    {0x18, 0x24, 0x24, 0x18, 0xFC}, {0x7C, 0x08, 0x04, 0x04, 0x08}, {0x48, 0x54, 0x54, 0x54, 0x20},
    {0x04, 0x3F, 0x44, 0x40, 0x20}, {0x3C, 0x40, 0x40, 0x20, 0x7C}, {0x1C, 0x20, 0x40, 0x20, 0x1C},
    {0x3C, 0x40, 0x30, 0x40, 0x3C}, {0x44, 0x28, 0x10, 0x28, 0x44}, {0x1C, 0xA0, 0xA0, 0xA0, 0x7C},
    {0x44, 0x64, 0x54, 0x4C, 0x44}, {0x00, 0x08, 0x36, 0x41, 0x00}, {0x00, 0x00, 0x7F, 0x00, 0x00},
    {0x00, 0x41, 0x36, 0x08, 0x00}, {0x08, 0x10, 0x08, 0x04, 0x08},
};

// The table's five bytes of a code; codes without an entry are blank.
const uint8_t* Ascii12Columns(int code) {
  static constexpr uint8_t blank[5] = {};
  return code >= 32 && code <= 126 ? kAscii12[code - 32] : blank;
}

// Glyph number of a two-byte character in a full font's cell layout.
int64_t GlyphNumber(int layout, int lead, int trail) {
  if (layout == 3) return int64_t{lead - 0x81} * 191 + (trail - 0x40);
  return int64_t{lead - 0xA1} * 94 + (trail - 0xA1);
}

// Bytes per glyph column and dots per column of dot size m.
int ColumnBytes(int m) { return m == 12 ? 2 : m / 8; }
int ColumnDots(int m) { return m == 12 ? 12 : (m / 8) * 8; }

// One character of a text: its lead (0 for a one-byte character) and trail,
// and how many bytes it takes.
struct Char {
  int lead = 0;
  int code = 0;
  size_t bytes = 1;
};

Char CharAt(std::string_view text, size_t i) {
  const int b = static_cast<unsigned char>(text[i]);
  if (b < 0x80) return {0, b, 1};
  // A lead byte as the last byte of the text pairs with a zero trail.
  const int trail = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
  return {b, trail, 2};
}

}  // namespace

bool Tgd::SmallFontLookup(int m, int lead, int trail, int64_t* glyphAddress, int32_t* width) {
  const int64_t table = Trom::MiniIndexTable(m);
  constexpr int entriesPerRead = ReadWindowSize / 4;
  for (int entry = 0; entry < 513; ++entry) {
    if (entry % entriesPerRead == 0) ReadImage(table + int64_t{entry} * 4, ReadWindowSize);
    const uint8_t* e = &ReadWindow[static_cast<size_t>(entry % entriesPerRead) * 4];
    if (e[0] == 0xFF) return false;
    if (lead == 0 ? e[1] == trail : (e[0] == lead && e[1] == trail)) {
      *width = e[0];
      *glyphAddress = MiniDataAddress + 8 * (int64_t{e[2]} << 8 | e[3]);
      return true;
    }
  }
  return false;
}

bool Tgd::FetchGlyph(int m, int lead, int trail) {
  const bool twoByte = lead != 0;
  auto full = [&](int32_t base, int layout, int bytes) {
    ReadImage(int64_t{base} * 256 + GlyphNumber(layout, lead, trail) * bytes, bytes);
    return true;
  };
  if (m == 12) {
    if (twoByte) return full(Font12Address / 256, 1, 24);
    // Overlay text at 12 dots: the glyph of the program's own table, placed
    // as DrawAscii12 places it (ink from the cell's fourth row), in the
    // 12-dot font's two bytes a column.
    const uint8_t* columns = Ascii12Columns(trail);
    std::fill_n(ReadWindow.begin(), 12, uint8_t{0});
    for (int i = 0; i < 5; ++i) {
      const int bits = columns[i] << 4;
      ReadWindow[static_cast<size_t>(i) * 2] = static_cast<uint8_t>(bits);
      ReadWindow[static_cast<size_t>(i) * 2 + 1] = static_cast<uint8_t>(bits >> 8);
    }
    CharWidth = 6;
    return true;
  }
  if (m == 16) {
    if (twoByte) return full(Hz16Base, Hz16Layout, 32);
    ReadImage(Ascii16Address + int64_t{trail - 32} * 16, 16);
    CharWidth = 8;
    return true;
  }
  if (twoByte) {
    if (m == 24 && Hz24Base > 0) return full(Hz24Base, Hz24Layout, 72);
    if (m == 32 && Hz32Base > 0) return full(Hz32Base, Hz32Layout, 128);
    if (m == 48 && Hz48Base > 0) return full(Hz48Base, 1, 288);
  }
  int64_t address = 0;
  int32_t width = 0;
  if (!SmallFontLookup(m, lead, trail, &address, &width)) return false;
  CharWidth = width;
  const int64_t w = twoByte ? m : (CharWidth != 0 ? CharWidth : m / 2);
  ReadImage(address, static_cast<int>(std::min<int64_t>(w * (m / 8), ReadWindowSize)));
  return true;
}

void Tgd::PaintGlyph(int m, int n) {
  if (!surface_) return;
  const int b = ColumnBytes(m), dots = ColumnDots(m);
  const SurfaceColour ink = P(ForeColour), paper = P(BackColour);
  // Only the part on the surface is visited; bytes beyond the read window
  // (glyphs larger than it) count as clear.
  const int64_t x0 = PosX, y0 = PosY;
  const int iFrom = static_cast<int>(std::clamp<int64_t>(-x0, 0, n));
  const int iTo = static_cast<int>(std::clamp<int64_t>(surface_->Width() - x0, 0, n));
  const int kFrom = static_cast<int>(std::clamp<int64_t>(-y0, 0, dots));
  const int kTo = static_cast<int>(std::clamp<int64_t>(surface_->Height() - y0, 0, dots));
  for (int i = iFrom; i < iTo; ++i)
    for (int k = kFrom; k < kTo; ++k) {
      const int64_t at = int64_t{i} * b + k / 8;
      const bool set = at < ReadWindowSize && (ReadWindow[static_cast<size_t>(at)] >> (k % 8) & 1);
      surface_->SetPixel(static_cast<int>(x0 + i), static_cast<int>(y0 + k), set ? ink : paper);
    }
}

// Fetches a character's glyph into the read window, the 16-dot one when the
// size has none (m then becomes 16), and gives its advance: m, or for a
// one-byte character the character width, which defaults to half the size.
int64_t Tgd::FetchGlyphAdvance(int& m, int lead, int trail) {
  if (!FetchGlyph(m, lead, trail)) {
    FetchGlyph(16, lead, trail);
    m = 16;
  }
  if (lead != 0) return m;
  if (CharWidth == 0) CharWidth = m / 2;
  return CharWidth;
}

void Tgd::DrawGlyph(int m, int lead, int trail) {
  int64_t n = FetchGlyphAdvance(m, lead, trail);
  if (RightLimitCuts() && RightLimit < int64_t{PosX} + n) n = int64_t{RightLimit} - PosX;
  if (n > 0) PaintGlyph(m, static_cast<int>(std::min<int64_t>(n, 1 << 20)));
}

void Tgd::DrawAscii12(int32_t x, int32_t y, int32_t c, int code) {
  const uint8_t* columns = Ascii12Columns(code);
  const SurfaceColour ink = P(c), paper = P(BackColour);
  for (int i = 0; i < 5; ++i) {
    Put(int64_t{x} + i, y, paper);
    for (int k = 0; k < 8; ++k) Put(int64_t{x} + i, int64_t{y} + 1 + k, (columns[i] >> k & 1) ? ink : paper);
    for (int k = 9; k <= 12; ++k) Put(int64_t{x} + i, int64_t{y} + k, paper);
  }
  for (int k = 0; k <= 11; ++k) Put(int64_t{x} + 5, int64_t{y} + k, paper);
}

void Tgd::DrawText(int m) {
  AreaLeft = PosX;
  AreaTop = PosY;
  AreaBottom = PosY + m;
  TextEndX = 0;
  const std::string text = Text;
  for (size_t i = 0; i < text.size() && i < MaxTextBytes && text[i] != 0;) {
    const Char ch = CharAt(text, i);
    if (ch.lead != 0) {
      DrawGlyph(m, ch.lead, ch.code);
      PosX += m;
    } else {
      if (m == 12) {
        DrawAscii12(PosX, PosY + 3, ForeColour, ch.code);
        CharWidth = 6;
      } else {
        DrawGlyph(m, 0, ch.code);
      }
      PosX += CharWidth;
    }
    i += ch.bytes;
    TextEndX = AreaRight = PosX;
    if (RightLimitCuts() && RightLimit < PosX) break;
  }
  RightLimit = 0;
}

void Tgd::DrawParagraph(int m, int32_t right, int32_t lw) {
  AreaLeft = PosX;
  AreaRight = right;
  AreaTop = PosY;
  AreaBottom = PosY + m;
  const int32_t start = PosX, half = m / 2;
  auto wrap = [&] {
    PosX = start;
    PosY += m + lw;
    AreaBottom = PosY + m;
  };
  const std::string text = Text;
  for (size_t i = 0; i < text.size() && i < MaxTextBytes && text[i] != 0;) {
    const Char ch = CharAt(text, i);
    if (ch.lead != 0) {
      if (int64_t{PosX} >= int64_t{right} - m) wrap();
      DrawGlyph(m, ch.lead, ch.code);
      PosX += m;
    } else {
      if (int64_t{PosX} >= int64_t{right} - half) wrap();
      if (m == 12) {
        DrawAscii12(PosX, PosY + 3, ForeColour, ch.code);
        PosX += 6;
      } else {
        DrawGlyph(m, 0, ch.code);
        PosX += CharWidth;
      }
    }
    i += ch.bytes;
  }
}

int32_t Tgd::TextWidth(int m, std::string_view text) {
  int64_t total = 0;
  for (size_t i = 0; i < text.size() && i < MaxTextBytes && text[i] != 0;) {
    const Char ch = CharAt(text, i);
    if (ch.lead != 0) {
      total += m;
    } else {
      if (m < 24) {
        CharWidth = m / 2;
      } else {
        int64_t address = 0;
        int32_t width = 0;
        if (SmallFontLookup(m, 0, ch.code, &address, &width)) CharWidth = width;
      }
      total += CharWidth;
    }
    i += ch.bytes;
  }
  return static_cast<int32_t>(std::clamp<int64_t>(total, 0, INT32_MAX));
}

void Tgd::DrawLabel(int m, int32_t alignment) {
  const int32_t w = TextWidth(m, Text);
  const int32_t x1 = PosX, x2 = PosX2;
  int32_t start = x1;
  if (int64_t{w} + 1 < int64_t{x2} - x1) {
    const int32_t top = PosY, bottom = PosY + m;
    if (alignment == 1) {
      start = x1 + (x2 - x1 - w) / 2;
      FillRect(x1, top, start, bottom, BackColour);
      FillRect(start + w, top, x2, bottom, BackColour);
    } else if (alignment == 2) {
      start = x2 - w;
      FillRect(x1, top, start, bottom, BackColour);
    } else {
      FillRect(x1 + w, top, x2, bottom, BackColour);
    }
  }
  RightLimit = x2;
  PosX = start;
  DrawText(m);
  CoverArea(x1, PosY, PosX2, PosY + m);
}

void Tgd::DrawOverlayGlyph(int m, int32_t slot, int lead, int trail) {
  const BackgroundSlot& s = Slots[static_cast<size_t>(slot & 7)];
  if (s.Picture == 0) {
    DrawGlyph(m, lead, trail);
    return;
  }
  const PictureEntry pic = ReadPictureEntry(s.Picture);
  if (pic.Width > 1024 || pic.Height > 1024 || pic.Address >= ImageEnd) return;
  int64_t n = FetchGlyphAdvance(m, lead, trail);
  if (!(s.Y <= PosY && s.X <= PosX && int64_t{PosX} + n < int64_t{s.X} + pic.Width &&
        int64_t{PosY} + m <= int64_t{s.Y} + pic.Height)) {
    DrawGlyph(m, lead, trail);
    return;
  }
  if (RightLimitCuts() && RightLimit < int64_t{PosX} + n) n = int64_t{RightLimit} - PosX;
  // The glyph stays in the read window; the picture pixels behind each
  // column come through the column window, 64 pixels at a time.
  const int b = ColumnBytes(m), dots = ColumnDots(m);
  const SurfaceColour ink = P(ForeColour);
  constexpr int pixelsPerRead = ColumnWindowSize / 2;
  for (int64_t i = 0; i < n; ++i) {
    const int64_t column = pic.Address + ((int64_t{PosX} + i - s.X) * pic.Height + (int64_t{PosY} - s.Y)) * 2;
    for (int k = 0; k < dots; ++k) {
      if (k % pixelsPerRead == 0) ReadColumn(column + int64_t{k} * 2, std::min(ColumnWindowSize, (dots - k) * 2));
      const int64_t at = i * b + k / 8;
      const bool set = at < ReadWindowSize && (ReadWindow[static_cast<size_t>(at)] >> (k % 8) & 1);
      Put(int64_t{PosX} + i, int64_t{PosY} + k,
          set ? ink : ToSurfaceColour(ColourAt(ColumnWindow, static_cast<size_t>(k % pixelsPerRead) * 2)));
    }
  }
}

void Tgd::DrawOverlayText(int m, int32_t slot) {
  AreaLeft = PosX;
  AreaTop = PosY;
  AreaBottom = PosY + m;
  const std::string text = Text;
  for (size_t i = 0; i < text.size() && i < MaxTextBytes && text[i] != 0;) {
    const Char ch = CharAt(text, i);
    DrawOverlayGlyph(m, slot, ch.lead, ch.code);
    PosX += ch.lead != 0 ? m : CharWidth;
    i += ch.bytes;
    AreaRight = PosX;
    if (RightLimitCuts() && RightLimit < PosX) break;
  }
  RightLimit = 0;
}

void Tgd::DrawPictureLabel(int m, int32_t alignment, int32_t slot) {
  const BackgroundSlot& s = Slots[static_cast<size_t>(slot & 7)];
  if (s.Picture == 0) {
    DrawLabel(m, alignment);
    return;
  }
  const int32_t w = TextWidth(m, Text);
  const int32_t x1 = PosX, x2 = PosX2;
  int32_t start = x1;
  if (int64_t{w} + 1 < int64_t{x2} - x1) {
    PicNo = s.Picture;
    auto restore = [&](int32_t from, int32_t width) {
      PosX = from;
      DrawCut(from - s.X, PosY - s.Y, width, m);
    };
    if (alignment == 1) {
      const int32_t half = (x2 - x1 - w) / 2;
      restore(x1, half);
      start = x1 + half;
      restore(start + w, x2 - start - w);
    } else if (alignment == 2) {
      start = x2 - w;
      restore(x1, start - x1);
    } else {
      restore(x1 + w, x2 - x1 - w);
    }
  }
  PosX = start;
  PosX2 = x2;
  RightLimit = x2;
  DrawOverlayText(m, slot);
  CoverArea(x1, PosY, PosX2, PosY + m);
}

void Tgd::PaintColumn(int64_t x, int64_t y, int count) {
  // `count` colour values from the read window, from (x, y) downwards.
  if (!surface_ || x < 0 || x >= surface_->Width()) return;
  for (int k = 0; k < count; ++k) Put(x, y + k, ToSurfaceColour(ColourAt(ReadWindow, static_cast<size_t>(k) * 2)));
}

void Tgd::DrawPicture(int32_t pn) {
  if (pn < 0 || pn >= 512) return;
  const PictureEntry pic = ReadPictureEntry(pn);
  if (pic.Width > 1024 || pic.Height > 1024) return;
  SetArea(PosX, PosY, PosX + pic.Width, PosY + pic.Height);
  if (pic.Address >= ImageEnd || !surface_) return;
  // Column by column from the top, the data read 512 bytes at a time.
  const int64_t total = int64_t{pic.Width} * pic.Height;
  const int64_t x0 = PosX, y0 = PosY;
  const int sw = surface_->Width(), sh = surface_->Height();
  int64_t x = 0, y = 0;
  for (int64_t done = 0; done < total; done += ReadWindowSize / 2) {
    ReadImage(pic.Address + done * 2, ReadWindowSize);
    const int64_t count = std::min<int64_t>(ReadWindowSize / 2, total - done);
    for (int64_t k = 0; k < count; ++k) {
      const int64_t px = x0 + x, py = y0 + y;
      if (px >= 0 && py >= 0 && px < sw && py < sh)
        surface_->SetPixel(static_cast<int>(px), static_cast<int>(py),
                           ToSurfaceColour(ColourAt(ReadWindow, static_cast<size_t>(k) * 2)));
      if (++y == pic.Height) {
        y = 0;
        ++x;
      }
    }
  }
}

void Tgd::DrawIcon(int32_t x, int32_t y, int32_t n, int32_t rows, int32_t cols, int32_t pn) {
  const PictureEntry pic = ReadPictureEntry(pn);
  if (pic.Width > 1024 || pic.Height > 1024 || cols <= 0 || rows <= 0) return;
  const int32_t iw = pic.Width / cols, ih = pic.Height / rows;
  const int64_t r = n / cols, q = n % cols;
  SetArea(x, y, x + iw, y + ih);
  if (pic.Address >= ImageEnd) return;
  for (int32_t i = 0; i < iw; ++i) {
    const int64_t column = pic.Address + ((q * iw + i) * pic.Height + r * ih) * 2;
    // Icons taller than the read window are read in several pieces.
    for (int32_t k = 0; k < ih; k += ReadWindowSize / 2) {
      const int count = std::min<int32_t>(ReadWindowSize / 2, ih - k);
      ReadImage(column + int64_t{k} * 2, count * 2);
      PaintColumn(int64_t{x} + i, int64_t{y} + k, count);
    }
  }
}

void Tgd::DrawCut(int32_t cx, int32_t cy, int32_t w, int32_t h) {
  if (PicNo == 0) return;
  const PictureEntry pic = ReadPictureEntry(PicNo);
  if (pic.Width > 1024 || pic.Height > 1024 || pic.Width < int64_t{cx} + w || pic.Height < int64_t{cy} + h) return;
  PosX2 = PosX + w;
  PosY2 = PosY + h;
  SetArea(PosX, PosY, PosX + w, PosY + h);
  if (pic.Address >= ImageEnd) return;
  // Every row of the cut is drawn, reading each column in pieces that fit
  // the read window.
  for (int32_t k = 0; k < w; ++k) {
    const int64_t column = pic.Address + ((int64_t{cx} + k) * pic.Height + cy) * 2;
    for (int32_t j = 0; j < h; j += ReadWindowSize / 2) {
      const int count = std::min<int32_t>(ReadWindowSize / 2, h - j);
      ReadImage(column + int64_t{j} * 2, count * 2);
      PaintColumn(int64_t{PosX} + k, int64_t{PosY} + j, count);
    }
  }
}

}  // namespace panelcraft
