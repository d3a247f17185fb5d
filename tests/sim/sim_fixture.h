// A virtual display for tests: an interpreter drawing on its own surface out
// of a ROM image that the test fills with the few glyphs and pictures it needs.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "device/rom.h"
#include "lang/cmd.h"
#include "sim/surface.h"

namespace panelcraft::test {

struct Report {
  int32_t left, top, right, bottom;
  friend bool operator==(const Report&, const Report&) = default;
  friend std::ostream& operator<<(std::ostream& os, const Report& r) {
    return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
  }
};

class SimTest : public ::testing::Test {
 protected:
  static constexpr int W = 320, H = 240;

  SimTest() : rom(std::make_unique<Trom>()), surface(W, H) {
    cmd.Display.SetRom(rom.get());
    cmd.Display.SetSurface(&surface);
    cmd.DisplayWidth = W;
    cmd.DisplayHeight = H;
    cmd.Display.PageSource = [this](int n) { return pages.count(n) ? pages[n] : std::string(); };
  }

  // Runs one statement and gives its report.
  Report Run(std::string_view statement) {
    cmd.RunStatement(statement);
    return {cmd.ReportLeft, cmd.ReportTop, cmd.ReportRight, cmd.ReportBottom};
  }
  void RunList(std::string_view list) { cmd.RunStatementList(list); }

  SurfaceColour Colour(int c) const { return cmd.Display.Palette[static_cast<size_t>(c)]; }
  bool Is(int x, int y, int c) const { return surface.Pixel(x, y) == Colour(c); }
  // Pixels of the surface with colour number c within the rectangle.
  int Count(int c, int left = 0, int top = 0, int right = W, int bottom = H) const {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += Is(x, y, c);
    return n;
  }
  // A picture of a region, one text line per row: a character per pixel
  // from `legend` (colour number -> character), "?" for any other colour.
  std::string Region(int left, int top, int width, int height, const std::map<int, char>& legend) const {
    std::string out;
    for (int y = top; y < top + height; ++y) {
      for (int x = left; x < left + width; ++x) {
        char ch = '?';
        for (const auto& [c, mark] : legend)
          if (Is(x, y, c)) {
            ch = mark;
            break;
          }
        out += ch;
      }
      out += '\n';
    }
    return out;
  }

  // ---- ROM image contents ----------------------------------------------------
  // Bytes from `address` on; those past the image's end are dropped.
  void Put(uint32_t address, const std::vector<uint8_t>& bytes) {
    for (size_t i = 0; i < bytes.size() && address + i < rom->Image.size(); ++i) rom->Image[address + i] = bytes[i];
  }
  void Put16(uint32_t address, uint32_t v) { Put(address, {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)}); }
  // Picture pn with w x h pixels at `address`; pixel (x, y) gets colour
  // value pixel(x, y), column by column.
  void PutPicture(int pn, int w, int h, uint32_t address, const std::function<uint16_t(int, int)>& pixel) {
    const uint32_t entry = Trom::PictureIndex + 8u * static_cast<uint32_t>(pn);
    Put16(entry, static_cast<uint32_t>(w));
    Put16(entry + 2, static_cast<uint32_t>(h));
    Put(entry + 4, {0, static_cast<uint8_t>(address >> 16), static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address)});
    for (int x = 0; x < w; ++x)
      for (int y = 0; y < h; ++y)
        Put16(address + static_cast<uint32_t>((x * h + y) * 2), pixel(x, y));
  }
  // Entry `index` of the small-font table of size m: bytes 0 and 1, glyph at
  // 0x76000 + 8 * slot, filled with `glyph`.
  void PutSmallGlyph(int m, int index, uint8_t b0, uint8_t b1, uint32_t slot, const std::vector<uint8_t>& glyph) {
    const uint32_t table = m == 24 ? 0x2000 : m == 32 ? 0x2800 : m == 48 ? 0x3000 : 0x3800;
    const uint32_t entry = table + 4u * static_cast<uint32_t>(index);
    Put(entry, {b0, b1, static_cast<uint8_t>(slot >> 8), static_cast<uint8_t>(slot)});
    Put(0x76000 + 8 * slot, glyph);
  }

  std::unique_ptr<Trom> rom;
  Surface surface;
  Tcmd cmd;
  std::map<int, std::string> pages;
};

// Colour values that ToSurfaceColour keeps apart, for pictures.
inline uint16_t Rgb(int r5, int g6, int b5) { return static_cast<uint16_t>(r5 << 11 | g6 << 5 | b5); }

}  // namespace panelcraft::test
