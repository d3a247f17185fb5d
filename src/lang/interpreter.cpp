// Statement execution: each statement reads its arguments from its fixed
// start position and drives the virtual display; afterwards the report fields
// take the display's area unless the statement's box kind is 3 (no area).
#include <unordered_map>

#include "lang/cmd.h"

namespace panelcraft {

namespace {

enum class Op {
  Box, FillBox, RoundBox, RoundFillBox, Win8Box, Line, Point, Circle, FillCircle, Clear, BackColour, SetColour,
  Origin, Text, OverlayText, Paragraph, Label, PictureLabel, Picture, Icon, BackgroundPicture, Cut, Curve,
  RedrawCurve, Sample, SampleAndDraw, Menu, ShowMenu, SelectMenu, MenuRow, Button, IconSet, IconButton, CutButton,
  InputBox,
};

struct Row {
  Op op;
  int start;  // 1-based position of the first argument
  int size;   // dot size of text statements
};

const std::unordered_map<std::string_view, Row>& Rows() {
  static const std::unordered_map<std::string_view, Row> rows = {
      {"BOX", {Op::Box, 5, 0}},          {"BOXF", {Op::FillBox, 6, 0}},
      {"CBOX", {Op::RoundBox, 6, 0}},    {"CBOF", {Op::RoundFillBox, 6, 0}},
      {"W8BF", {Op::Win8Box, 6, 0}},     {"PL", {Op::Line, 4, 0}},
      {"PS", {Op::Point, 4, 0}},         {"CIR", {Op::Circle, 5, 0}},
      {"CIRF", {Op::FillCircle, 6, 0}},  {"CLS", {Op::Clear, 5, 0}},
      {"SBC", {Op::BackColour, 5, 0}},   {"SCC", {Op::SetColour, 5, 0}},
      {"SXY", {Op::Origin, 5, 0}},       {"DS12", {Op::Text, 6, 12}},
      {"DS16", {Op::Text, 6, 16}},       {"DS24", {Op::Text, 6, 24}},
      {"DS32", {Op::Text, 6, 32}},       {"DS48", {Op::Text, 6, 48}},
      {"DS64", {Op::Text, 6, 64}},       {"PS12", {Op::OverlayText, 6, 12}},
      {"PS16", {Op::OverlayText, 6, 16}}, {"PS24", {Op::OverlayText, 6, 24}},
      {"PS32", {Op::OverlayText, 6, 32}}, {"PS48", {Op::OverlayText, 6, 48}},
      {"PS64", {Op::OverlayText, 6, 64}}, {"BS12", {Op::Paragraph, 6, 12}},
      {"BS16", {Op::Paragraph, 6, 16}},  {"BS24", {Op::Paragraph, 6, 24}},
      {"LABL", {Op::Label, 6, 0}},       {"PLAB", {Op::PictureLabel, 6, 0}},
      {"PIC", {Op::Picture, 5, 0}},      {"ICON", {Op::Icon, 6, 0}},
      {"BPIC", {Op::BackgroundPicture, 6, 0}}, {"CPIC", {Op::Cut, 6, 0}},
      {"DQX", {Op::Curve, 5, 0}},        {"RQX", {Op::RedrawCurve, 0, 0}},
      {"Qn", {Op::Sample, 2, 0}},        {"Sn", {Op::SampleAndDraw, 2, 0}},
      {"MENU", {Op::Menu, 6, 0}},        {"MSHW", {Op::ShowMenu, 0, 0}},
      {"MSET", {Op::SelectMenu, 6, 0}},  {"MDF", {Op::MenuRow, 5, 0}},
      {"BTN", {Op::Button, 5, 0}},       {"TICN", {Op::IconSet, 6, 0}},
      {"BICN", {Op::IconButton, 6, 0}},  {"PBTN", {Op::CutButton, 6, 0}},
      {"TSIN", {Op::InputBox, 6, 0}},
  };
  return rows;
}

}  // namespace

void Tcmd::MakeInterpreter() {
  Display.InitPalette();
  BuildCatalogue();
  Runner = [this](const std::string& statement) { RunStatement(statement); };
  Display.RunList = [this](std::string_view text) { RunStatementList(text); };
}

void Tcmd::RunStatement(std::string_view statement) {
  const std::string name = StatementName(statement);
  ReportLeft = ReportTop = ReportRight = ReportBottom = -1;
  Tgd& d = Display;
  d.DisplayWidth = DisplayWidth;
  d.DisplayHeight = DisplayHeight;
  d.OriginX = OriginX;

  const auto& rows = Rows();
  const auto row = rows.find(name);
  if (row != rows.end()) {
    BeginReading(statement, row->second.start);
    auto n = [this] { return ReadNumber(); };
    auto x = [this] { return ReadX(); };
    auto y = [this] { return ReadY(); };
    auto text = [this] {
      ReadText();
      return LastText;
    };
    auto corners = [&] {
      d.PosX = x();
      d.PosY = y();
      d.PosX2 = x();
      d.PosY2 = y();
    };
    const int m = row->second.size;
    switch (row->second.op) {
      case Op::Box:
        corners();
        d.ForeColour = n();
        d.DrawBox();
        break;
      case Op::FillBox:
        corners();
        d.ForeColour = n();
        d.FillBox();
        break;
      case Op::RoundBox:
      case Op::RoundFillBox:
        // The radius is kept; the corners stay square.
        corners();
        d.Radius = n();
        d.ForeColour = n();
        if (row->second.op == Op::RoundBox) {
          d.DrawBox();
        } else {
          d.FillBox();
        }
        break;
      case Op::Win8Box:
        corners();
        d.ForeColour = n();
        d.DrawWin8Box();
        break;
      case Op::Line:
        corners();
        d.ForeColour = n();
        d.DrawLine();
        break;
      case Op::Point:
        d.PosX = x();
        d.PosY = y();
        d.ForeColour = n();
        d.DrawPoint();
        break;
      case Op::Circle:
      case Op::FillCircle: {
        const int32_t cx = x(), cy = y(), r = n(), c = n();
        if (row->second.op == Op::Circle) {
          d.DrawCircle(cx, cy, r, c);
        } else {
          d.FillCircle(cx, cy, r, c);
        }
        break;
      }
      case Op::Clear:
        d.Clear(n());
        for (auto& area : d.TouchAreas) area.Width = 0;
        d.InputMode = 0;
        for (auto& slot : d.Slots) slot.Picture = 0;
        d.SampleCount = 0;
        break;
      case Op::BackColour:
        d.BackColour = n();
        break;
      case Op::SetColour: {
        const int32_t c = n(), v = n();
        d.Palette[static_cast<size_t>(c % Tgd::PaletteSize)] = Tgd::ToSurfaceColour(static_cast<uint32_t>(v) & 0xFFFF);
        break;
      }
      case Op::Origin: {
        const int32_t ox = n(), oy = n();
        OriginX = ox;
        OriginY = oy;
        d.OriginX = ox;
        break;
      }
      case Op::Text:
        d.PosX = x();
        d.PosY = y();
        d.Text = text();
        d.ForeColour = n();
        d.RightLimit = x();
        d.DrawText(m);
        break;
      case Op::OverlayText:
        d.OverlaySlot = n() & 7;
        d.PosX = x();
        d.PosY = y();
        d.Text = text();
        d.ForeColour = n();
        d.RightLimit = x();
        if (d.PosX >= d.RightLimit) d.RightLimit = DisplayWidth;
        d.DrawOverlayText(m, d.OverlaySlot);
        break;
      case Op::Paragraph: {
        d.PosX = x();
        d.PosY = y();
        const int32_t right = x(), lw = n();
        d.Text = text();
        d.ForeColour = n();
        d.RightLimit = 0;
        d.DrawParagraph(m, right, lw);
        break;
      }
      case Op::Label:
      case Op::PictureLabel: {
        const int32_t size = n();
        d.PosX = x();
        d.PosY = y();
        d.PosX2 = x();
        d.Text = text();
        d.ForeColour = n();
        const int32_t alignment = n();
        if (row->second.op == Op::Label) {
          d.DrawLabel(size, alignment);
        } else {
          d.DrawPictureLabel(size, alignment, n() & 7);
        }
        break;
      }
      case Op::Picture:
        d.PosX = x();
        d.PosY = y();
        d.DrawPicture(n());
        break;
      case Op::Icon:
        d.PosX = x();
        d.PosY = y();
        d.PicNo = n();
        d.IconCols = n();
        d.IconRows = n();
        d.IconNo = n();
        d.DrawIcon(d.PosX, d.PosY, d.IconNo, d.IconRows, d.IconCols, d.PicNo);
        break;
      case Op::BackgroundPicture: {
        const int32_t slot = n() & 7;
        d.PosX = x();
        d.PosY = y();
        const int32_t pn = n(), f = n();
        d.Slots[static_cast<size_t>(slot)] = {d.PosX, d.PosY, pn};
        if (f == 0) d.DrawPicture(pn);
        break;
      }
      case Op::Cut: {
        d.PosX = x();
        d.PosY = y();
        d.PicNo = n();
        d.CutX = n();
        d.CutY = n();
        const int32_t w = n(), h = n();
        d.DrawCut(d.CutX, d.CutY, w, h);
        break;
      }
      case Op::Curve: {
        const int32_t cx = x(), cy = y(), xp = n(), yn = n(), xn = n(), yp = n();
        d.SetCurve(cx, cy, xp, yn, xn, yp);
        break;
      }
      case Op::RedrawCurve:
        d.DrawCurve();
        break;
      case Op::Sample:
        d.PushSample(n());
        break;
      case Op::SampleAndDraw:
        d.PushSample(n());
        d.DrawCurve();
        break;
      case Op::Menu: {
        const int32_t mx = x(), my = y();
        int32_t v[10];
        for (int32_t& value : v) value = n();
        d.SetMenu(mx, my, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]);
        break;
      }
      case Op::ShowMenu:
        d.DrawMenu(Tgd::MenuRowsToDraw::All);
        break;
      case Op::SelectMenu:
        d.SelectMenuRow(n());
        break;
      case Op::MenuRow:
        if (n() == d.ItemDefining) {
          d.ItemIcon = n();
          d.Text = text();
        }
        break;
      case Op::Button: {
        const int32_t area = n(), x1 = x(), y1 = y(), x2 = x(), y2 = y(), t = n();
        if (x1 < x2) d.SetTouchArea(Tgd::AreaKind::Button, area, x1, y1, x2, y2, t);
        break;
      }
      case Op::IconSet: {
        const int32_t pn = n(), xn = n(), yn = n();
        d.SetIconSet(pn, xn, yn);
        break;
      }
      case Op::IconButton: {
        const int32_t area = n(), ax = x(), ay = y(), n1 = n(), n2 = n(), key = n();
        d.SetTouchArea(Tgd::AreaKind::Icon, area, ax, ay, n1, n2, key);
        break;
      }
      case Op::CutButton: {
        const int32_t area = n(), ax = x(), ay = y(), w = n(), h = n(), bp1 = n(), bp2 = n(), key = n();
        d.SetTouchArea(Tgd::AreaKind::Cut, area, ax, ay, w, h, bp1, bp2, key);
        break;
      }
      case Op::InputBox: {
        const int32_t hzm = n(), ix = x(), iy = y(), limit = x(), length = n(), mode = n(), c = n();
        d.SetInputBox(hzm, ix, iy, limit, length, mode, c);
        break;
      }
    }
  }
  // An inner statement (a menu's page) may have moved the parser on; the
  // report belongs to this statement.
  if (BoxKind(name) != 3) {
    ReportLeft = d.AreaLeft;
    ReportTop = d.AreaTop;
    ReportRight = d.AreaRight;
    ReportBottom = d.AreaBottom;
  }
}

}  // namespace panelcraft
