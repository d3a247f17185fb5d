// Tgd: the virtual display. It draws statements onto a Surface out of the
// ROM image (fonts and pictures are read from the image exactly as the
// display reads its flash) and keeps the state the statements leave behind:
// palette, colours, drawing position, the fonts found in the image's font
// header, background picture slots, touch areas, icon set, menu, curve and
// input box.
//
// Files: gd.cpp (palette, image reads, plain drawing), gd_text.cpp (text,
// pictures, icons), gd_widgets.cpp (touch areas, menu, curve, input box).
//
// Robustness: every read of the image goes through the 512-byte read window
// or the 128-byte column window and never runs past them or the image; every
// pixel outside the surface is clipped. Colour numbers are taken modulo 64.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "device/rom.h"
#include "sim/surface.h"

namespace panelcraft {

class Tgd {
 public:
  static constexpr int PaletteSize = 64;
  static constexpr int ReadWindowSize = 512;
  static constexpr int ColumnWindowSize = 128;
  static constexpr int64_t ImageEnd = 0x1000000;
  static constexpr int BackgroundSlots = 8;
  static constexpr int TouchAreaCount = 32;
  static constexpr int CurveSampleCount = 401;
  static constexpr int MaxCurveWidth = 400;
  static constexpr int MaxTextBytes = 127;
  // How deep a menu page may open further menus (a page that shows its own
  // menu would otherwise recurse without end); deeper menus draw nothing.
  static constexpr int MaxMenuDepth = 2;

  // Addresses of the fixed regions of the image.
  static constexpr int64_t FontHeaderAddress = Trom::FontHeader;
  static constexpr int64_t MiniIndexAddress = Trom::MiniIndex;
  static constexpr int64_t PictureIndexAddress = Trom::PictureIndex;
  static constexpr int64_t Font12Address = Trom::Font12;
  static constexpr int64_t Ascii16Address = Trom::Ascii8x16;
  static constexpr int64_t MiniDataAddress = Trom::MiniData;
  static constexpr int32_t DefaultHz16Base = 848;

  struct TouchArea {
    int32_t XWord = 0, YWord = 0, Width = 0, Height = 0, Type = 0, Key = 0;
  };
  struct BackgroundSlot {
    int32_t X = 0, Y = 0, Picture = 0;
  };
  struct PictureEntry {
    int32_t Width = 0, Height = 0;
    int64_t Address = 0;
  };

  // All fields 0 or empty, then InitPalette().
  Tgd();
  Tgd(const Tgd&) = delete;
  Tgd& operator=(const Tgd&) = delete;

  // ---- Links to the rest of the program --------------------------------------
  // The surface drawn on; nothing is drawn while there is none.
  void SetSurface(Surface* surface) { surface_ = surface; }
  Surface* GetSurface() const { return surface_; }
  // The ROM image read from; without one every read gives 0xFF bytes.
  void SetRom(const Trom* rom) { rom_ = rom; }
  // The statements of page n (1..128) and a way to run a statement list:
  // the menu draws its rows by running its page.
  std::function<std::string(int)> PageSource;
  std::function<void(std::string_view)> RunList;
  // The interpreter's display width and origin, which text and clearing use.
  int32_t DisplayWidth = 0;
  int32_t DisplayHeight = 0;
  int32_t OriginX = 0;

  // ---- State -----------------------------------------------------------------
  int32_t PosX = 0, PosY = 0, PosX2 = 0, PosY2 = 0;
  int32_t ForeColour = 0;
  int32_t BackColour = 0;
  std::string Text;
  int32_t PicNo = 0;
  int32_t Radius = 0;
  int32_t OverlaySlot = 0;
  int32_t CutX = 0, CutY = 0;
  int32_t IconCols = 0, IconRows = 0, IconNo = 0;
  int32_t AreaWidth = 0, AreaHeight = 0;
  int32_t RightLimit = 0;
  int32_t TextEndX = 0;
  int32_t CharWidth = 0;
  int32_t AreaLeft = 0, AreaTop = 0, AreaRight = 0, AreaBottom = 0;
  std::array<SurfaceColour, PaletteSize> Palette{};
  std::array<uint8_t, ReadWindowSize> ReadWindow{};
  std::array<uint8_t, ColumnWindowSize> ColumnWindow{};
  int32_t Hz16Base = DefaultHz16Base, Hz24Base = 0, Hz32Base = 0, Hz48Base = 0;
  int32_t Hz16Layout = 1, Hz24Layout = 1, Hz32Layout = 1;
  std::array<BackgroundSlot, BackgroundSlots> Slots{};
  std::array<TouchArea, TouchAreaCount> TouchAreas{};
  // Icon set (TICN).
  int32_t IconSetPic = 0, IconSetCols = 0, IconSetRows = 0, IconWidth = 0, IconHeight = 0;
  // Menu (MENU, MDF, MSET).
  int32_t MenuX = 0, MenuY = 0, MenuWidth = 0, MenuRowHeight = 0, MenuIconSize = 0, MenuIconX = 0, MenuTextX = 0,
          MenuFont = 0, MenuReserved = 0, MenuRows = 0, MenuPage = 0, MenuGo = 0, MenuCurrent = 0, MenuPrevious = 0,
          ItemDefining = 0, ItemIcon = 0;
  // Curve (DQX, Qn, Sn).
  int32_t CurveX = 0, CurveY = 0, CellWidth = 0, CurveRows = 0, CurveCols = 0, CellHeight = 0;
  std::array<uint8_t, CurveSampleCount> Samples{};
  int32_t SampleCount = 0;
  // Input box (TSIN).
  int32_t InputFont = 0;
  std::string InputText;
  int32_t InputX = 0, InputY = 0, InputLimitX = 0, InputLength = 0, InputMode = 0, InputColour = 0;

  // ---- Palette, colours, image (gd.cpp) ----------------------------------------
  static const std::array<uint16_t, PaletteSize> InitialPalette;
  static SurfaceColour ToSurfaceColour(uint32_t v);
  static uint16_t ToRgb565(int red, int green, int blue);
  // The palette entry of a colour number, taken modulo 64.
  SurfaceColour P(int32_t c) const;
  void InitPalette();
  void ReloadFontHeader();
  // n bytes (at most 512) at `address` into the read window; 0xFF bytes when
  // they do not lie below the image's end. A negative address reads as the end.
  void ReadImage(int64_t address, int n);
  // n bytes (at most 128) into the column window; unchanged when outside.
  void ReadColumn(int64_t address, int n);
  PictureEntry ReadPictureEntry(int32_t pn);

  // ---- Plain drawing (gd.cpp) ----------------------------------------------
  void Clear(int32_t c);
  void DrawBox();
  void FillBox();
  void DrawWin8Box();
  void DrawLine();
  void DrawPoint();
  void DrawCircle(int32_t x, int32_t y, int32_t r, int32_t c);
  void FillCircle(int32_t x, int32_t y, int32_t r, int32_t c);
  void OutlineRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t c);
  void LineTo(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t c);
  void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t c);
  void SetArea(int32_t left, int32_t top, int32_t right, int32_t bottom);
  // The statement's box: the drawing position and its far corner, the area's
  // size and the area itself.
  void CoverArea(int32_t left, int32_t top, int32_t right, int32_t bottom);

  // ---- Text, pictures, icons (gd_text.cpp) -----------------------------------
  bool FetchGlyph(int m, int lead, int trail);
  int64_t FetchGlyphAdvance(int& m, int lead, int trail);
  void DrawGlyph(int m, int lead, int trail);
  void DrawAscii12(int32_t x, int32_t y, int32_t c, int code);
  void DrawText(int m);
  void DrawParagraph(int m, int32_t right, int32_t lw);
  int32_t TextWidth(int m, std::string_view text);
  void DrawLabel(int m, int32_t alignment);
  void DrawOverlayGlyph(int m, int32_t slot, int lead, int trail);
  void DrawOverlayText(int m, int32_t slot);
  void DrawPictureLabel(int m, int32_t alignment, int32_t slot);
  void DrawPicture(int32_t pn);
  void DrawIcon(int32_t x, int32_t y, int32_t n, int32_t rows, int32_t cols, int32_t pn);
  void DrawCut(int32_t cx, int32_t cy, int32_t w, int32_t h);

  // ---- Touch areas, menu, curve, input box (gd_widgets.cpp) -----------------
  enum class AreaKind { Button, Icon, Cut };
  // BTN (n, x1, y1, x2, y2, t), BICN (n, x, y, n1, n2, key) and PBTN
  // (n, x, y, w, h, bp1, bp2, key): `a` .. `g` are the arguments after n.
  void SetTouchArea(AreaKind kind, int32_t n, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e = 0, int32_t f = 0,
                    int32_t g = 0);
  void DrawTouchArea(int32_t n);
  void SetIconSet(int32_t pn, int32_t xn, int32_t yn);
  void SetMenu(int32_t x1, int32_t y1, int32_t w, int32_t h, int32_t pw, int32_t ax1, int32_t ax2, int32_t hzm,
               int32_t yn, int32_t max, int32_t pg, int32_t go);
  void SelectMenuRow(int32_t n);
  enum class MenuRowsToDraw { All, Changed };
  void DrawMenu(MenuRowsToDraw mode);
  void SetCurve(int32_t x1, int32_t y1, int32_t xp, int32_t yn, int32_t xn, int32_t yp);
  void PushSample(int32_t s);
  void DrawCurve();
  void SetInputBox(int32_t hzm, int32_t x1, int32_t y1, int32_t limitX, int32_t length, int32_t mode, int32_t c);

 private:
  void Put(int64_t x, int64_t y, SurfaceColour c) {
    if (surface_ && x >= 0 && y >= 0 && x < surface_->Width() && y < surface_->Height())
      surface_->SetPixel(static_cast<int>(x), static_cast<int>(y), c);
  }
  static int Clip(int64_t v);
  bool RightLimitCuts() const { return RightLimit > OriginX; }
  // Reads the big-endian colour value at byte k of a window.
  template <size_t N>
  static uint16_t ColourAt(const std::array<uint8_t, N>& window, size_t k) {
    return static_cast<uint16_t>((window[k] << 8) | window[k + 1]);
  }
  bool SmallFontLookup(int m, int lead, int trail, int64_t* glyphAddress, int32_t* width);
  // Draws the glyph in the read window (m dots, n columns) at PosX, PosY.
  void PaintGlyph(int m, int n);
  // Draws a column of `count` colour values from the read window.
  void PaintColumn(int64_t x, int64_t y, int count);

  Surface* surface_ = nullptr;
  const Trom* rom_ = nullptr;
  int menuDepth_ = 0;
};

}  // namespace panelcraft
