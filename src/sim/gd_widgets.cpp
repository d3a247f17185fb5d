// Touch areas, the icon set, the menu, the curve and the input box of the
// virtual display. Nothing is touched on the PC: every element is drawn in
// its normal state and its area is recorded for the designer.
#include <algorithm>

#include "sim/gd.h"

namespace panelcraft {

namespace {

// A menu with more rows than this draws only its first rows: no display is
// tall enough to show more, and each row runs the menu's page once.
constexpr int32_t kMaxMenuRowsDrawn = 128;

}  // namespace

void Tgd::SetTouchArea(AreaKind kind, int32_t n, int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f,
                       int32_t g) {
  const int32_t k = (n - 1) & 31;
  TouchArea& area = TouchAreas[static_cast<size_t>(k)];
  switch (kind) {
    case AreaKind::Button:  // x1, y1, x2, y2, t
      if (a >= c) return;
      area.XWord = a;
      area.YWord = b;
      area.Width = c - a;
      area.Height = d - b;
      area.Type = e;
      break;
    case AreaKind::Icon:  // x, y, n1, n2, key
      area.XWord = static_cast<int32_t>(a + int64_t{c} * 1024);
      area.YWord = static_cast<int32_t>(b + int64_t{d} * 1024);
      area.Width = IconWidth;
      area.Height = IconHeight;
      area.Type = 5;
      area.Key = e;
      break;
    case AreaKind::Cut:  // x, y, w, h, bp1, bp2, key
      area.XWord = a + (e & 7) * 1024;
      area.YWord = b + (f & 7) * 1024;
      area.Width = c;
      area.Height = d;
      area.Type = 6;
      area.Key = g;
      break;
  }
  DrawTouchArea(k + 1);
}

void Tgd::DrawTouchArea(int32_t n) {
  if (n < 1 || n > TouchAreaCount) return;
  const TouchArea& area = TouchAreas[static_cast<size_t>(n - 1)];
  const int32_t x = area.XWord & 1023, y = area.YWord & 1023, w = area.Width, h = area.Height, t = area.Type & 15;
  const int32_t a = area.XWord >> 10;
  if (w == 0) return;
  const int32_t x2 = x + w, y2 = y + h;
  auto raised = [&](int32_t l, int32_t tp, int32_t r, int32_t b) {
    LineTo(l, tp, r, tp, 19);
    LineTo(l, tp, l, b, 19);
    LineTo(r, tp, r, b, 20);
    LineTo(l, b, r, b, 20);
  };
  switch (t) {
    case 1:
      OutlineRect(x, y, x2, y2, 17);
      break;
    case 2:
      raised(x, y, x2, y2);
      break;
    case 3:
      OutlineRect(x, y, x2, y2, 17);
      OutlineRect(x + 1, y + 1, x2 - 1, y2 - 1, 17);
      break;
    case 4:
      raised(x, y, x2, y2);
      raised(x + 1, y + 1, x2 - 1, y2 - 1);
      break;
    case 5:
      DrawIcon(x, y, a, IconSetRows, IconSetCols, IconSetPic);
      break;
    case 6: {
      // The background slot of a cut area is 0..7; a plain button of type 6
      // placed at x of 1024 or more names its slot by the same bits.
      const BackgroundSlot& slot = Slots[static_cast<size_t>(a & 7)];
      PosX = x;
      PosY = y;
      PicNo = slot.Picture;
      DrawCut(x - slot.X, y - slot.Y, w, h);
      break;
    }
    case 7:
      OutlineRect(x, y, x2, y2, 40 + a);
      OutlineRect(x + 1, y + 1, x2 - 1, y2 - 1, 50 + a);
      break;
    default:
      break;
  }
  CoverArea(x, y, x2, y2);
}

void Tgd::SetIconSet(int32_t pn, int32_t xn, int32_t yn) {
  const PictureEntry pic = ReadPictureEntry(pn);
  if (pic.Width > 1024 || pic.Height > 1024 || xn <= 0 || yn <= 0) return;
  IconWidth = pic.Width / xn;
  IconHeight = pic.Height / yn;
  IconSetPic = pn;
  IconSetCols = xn;
  IconSetRows = yn;
}

void Tgd::SetMenu(int32_t x1, int32_t y1, int32_t w, int32_t h, int32_t pw, int32_t ax1, int32_t ax2, int32_t hzm,
                  int32_t yn, int32_t max, int32_t pg, int32_t go) {
  MenuX = x1;
  MenuY = y1;
  MenuWidth = w;
  MenuRowHeight = h;
  MenuIconSize = pw;
  MenuIconX = ax1;
  MenuTextX = ax2;
  MenuFont = hzm;
  MenuReserved = yn;
  MenuRows = max;
  MenuPage = pg;
  MenuGo = go;
  MenuCurrent = 0;
  const int32_t height = static_cast<int32_t>(std::clamp<int64_t>(int64_t{max} * h, INT32_MIN / 2, INT32_MAX / 2));
  CoverArea(x1, y1, x1 + w, y1 + height);
}

void Tgd::SelectMenuRow(int32_t n) {
  MenuPrevious = MenuCurrent;
  MenuCurrent = n >= MenuRows ? 0 : n;
  DrawMenu(MenuRowsToDraw::Changed);
}

void Tgd::DrawMenu(MenuRowsToDraw mode) {
  if (MenuRows == 0 || MenuPage < 1) return;
  if (menuDepth_ >= MaxMenuDepth) return;
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(d) { ++depth; }
    ~Depth() { --depth; }
  } depth(menuDepth_);

  const std::string page = PageSource ? PageSource(MenuPage) : std::string();
  auto runPage = [&] {
    if (RunList) RunList(page);
  };
  runPage();
  const int32_t rows = std::min(MenuRows, kMaxMenuRowsDrawn);
  for (int32_t i = 0; i < rows; ++i) {
    if (mode != MenuRowsToDraw::All && i != MenuCurrent && i != MenuPrevious) continue;
    const int32_t rowY = static_cast<int32_t>(
        std::clamp<int64_t>(int64_t{MenuY} + int64_t{i} * MenuRowHeight, INT32_MIN / 2, INT32_MAX / 2));
    ItemDefining = i + 1;
    runPage();
    const int32_t colour = i == MenuCurrent ? 61 : 60;
    PosX = MenuX;
    PosY = rowY;
    PosX2 = MenuX + MenuWidth;
    PosY2 = rowY + MenuRowHeight;
    ForeColour = colour;
    FillBox();
    BackColour = colour;
    const int32_t t = MenuFont < MenuRowHeight ? (MenuRowHeight - MenuFont) / 2 : 0;
    PosX = MenuX + MenuTextX;
    PosY = rowY + t;
    ForeColour = 15;
    DrawText(MenuFont);
    const int32_t u = MenuIconSize < MenuRowHeight ? (MenuRowHeight - MenuIconSize) / 2 : t;
    PosX = MenuX + MenuIconX;
    PosY = rowY + u;
    DrawPicture(ItemIcon);
  }
  const int32_t height =
      static_cast<int32_t>(std::clamp<int64_t>(int64_t{MenuRows} * MenuRowHeight, INT32_MIN / 2, INT32_MAX / 2));
  CoverArea(MenuX, MenuY, MenuX + MenuWidth, MenuY + height);
}

void Tgd::SetCurve(int32_t x1, int32_t y1, int32_t xp, int32_t yn, int32_t xn, int32_t yp) {
  CurveX = x1;
  CurveY = y1;
  CellWidth = xp;
  CurveRows = yn;
  CurveCols = xn;
  CellHeight = yp;
  std::fill_n(Samples.begin(), MaxCurveWidth, uint8_t{0});
  SampleCount = 0;
  DrawCurve();
}

void Tgd::PushSample(int32_t s) {
  const int64_t w = int64_t{CellWidth} * CurveCols;
  if (w > MaxCurveWidth) return;
  SampleCount = std::clamp(SampleCount, 0, MaxCurveWidth);
  Samples[static_cast<size_t>(SampleCount)] = static_cast<uint8_t>(((s % 256) + 256) % 256);
  ++SampleCount;
  if (SampleCount >= w) {
    for (int64_t j = 0; j < w; ++j) Samples[static_cast<size_t>(j)] = Samples[static_cast<size_t>(j + 1)];
    --SampleCount;
  }
}

void Tgd::DrawCurve() {
  const int64_t w = int64_t{CellWidth} * CurveCols;
  const int64_t e = int64_t{CurveRows} * CellHeight - 1;
  if (w == 0 || e == 0) return;
  PosX = CurveX;
  PosY = CurveY;
  SetArea(CurveX, CurveY, static_cast<int32_t>(std::clamp<int64_t>(CurveX + w, INT32_MIN, INT32_MAX)),
          static_cast<int32_t>(std::clamp<int64_t>(CurveY + e, INT32_MIN, INT32_MAX)));
  if (w > MaxCurveWidth) return;
  if (!surface_) return;
  // The right border; a border reaching below the surface ends at its edge,
  // which sets the same pixels.
  const int64_t borderEnd = std::min<int64_t>(CurveY + e, std::max<int64_t>(surface_->Height(), CurveY));
  LineTo(static_cast<int32_t>(CurveX + w), CurveY, static_cast<int32_t>(CurveX + w), static_cast<int32_t>(borderEnd),
         22);
  // Rows are walked from the top (t = e - j); a grid row falls where the
  // row counter reaches CellHeight, i.e. every CellHeight rows from the top.
  // Only the rows on the surface are visited.
  const int64_t tFrom = std::clamp<int64_t>(-int64_t{CurveY}, 0, e + 1);
  const int64_t tTo = std::clamp<int64_t>(int64_t{surface_->Height()} - CurveY, 0, e + 1);
  auto gridRow = [this](int64_t t) { return CellHeight > 0 ? (t > 0 && t % CellHeight == 0) : t == 0; };
  int32_t k = CellWidth;
  for (int64_t i = 0; i < w; ++i) {
    const int64_t v = int64_t{Samples[static_cast<size_t>(i)]} * e / 256;
    int64_t lo = v, hi = v;
    if (i > 0) {
      const int64_t u = int64_t{Samples[static_cast<size_t>(i - 1)]} * e / 256;
      lo = std::min(u, v);
      hi = std::max(u, v);
    }
    int above = 21, below = 25;
    if (k == CellWidth) {
      above = 22;
      below = 24;
      k = 0;
    }
    ++k;
    for (int64_t t = tFrom; t < tTo; ++t) {
      const int64_t j = e - t;
      int colour;
      if (j >= lo && j <= hi) {
        colour = 23;
      } else if (j > hi) {
        colour = gridRow(t) ? 22 : above;
      } else {
        colour = gridRow(t) ? 24 : below;
      }
      if (j == 0) colour = 24;
      if (j == e) colour = 22;
      Put(CurveX + i, CurveY + t, P(colour));
    }
  }
}

void Tgd::SetInputBox(int32_t hzm, int32_t x1, int32_t y1, int32_t limitX, int32_t length, int32_t mode, int32_t c) {
  InputFont = hzm;
  InputText.clear();
  InputX = x1;
  InputY = y1;
  InputLimitX = limitX;
  InputLength = length & 15;
  InputMode = mode;
  InputColour = c;
  CoverArea(x1, y1, limitX, y1 + hzm);
}

}  // namespace panelcraft
