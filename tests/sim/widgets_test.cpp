// Touch areas, icon sets, menus run from their page, the curve and the input
// box.
#include <gtest/gtest.h>

#include "sim/sim_fixture.h"

namespace panelcraft::test {
namespace {

class WidgetTest : public SimTest {};

TEST_F(WidgetTest, TouchAreaFrames) {
  EXPECT_EQ(Run("BTN(1,10,10,110,110,3)"), (Report{10, 10, 110, 110}));
  EXPECT_EQ(Count(17), 400 + 392);  // two red outlines, 101 and 99 pixels square
  EXPECT_TRUE(Is(10, 10, 17) && Is(11, 11, 17) && Is(109, 109, 17) && Is(110, 110, 17));
  EXPECT_FALSE(Is(12, 12, 17));

  struct Case {
    int type;
    std::vector<std::tuple<int, int, int>> pixels;  // x, y, colour number
    int drawn;                                      // pixels not 0 in the area
  } cases[] = {
      {0, {}, 0},
      {1, {{150, 10, 17}, {170, 30, 17}}, 80},
      {2, {{150, 10, 19}, {150, 29, 19}, {170, 10, 20}, {151, 30, 20}}, 79},  // lines without end points: (170, 30) stays
      {4, {{151, 11, 19}, {169, 12, 20}, {152, 29, 20}, {151, 28, 19}}, 79 + 71},
      {7, {{150, 10, 40}, {151, 11, 50}}, 80 + 72},
      {9, {}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    Run("CLS(0)");
    EXPECT_EQ(Run("BTN(2,150,10,170,30," + std::to_string(c.type) + ")"), (Report{150, 10, 170, 30}));
    for (auto [x, y, colour] : c.pixels) EXPECT_TRUE(Is(x, y, colour)) << x << "," << y;
    EXPECT_EQ(W * H - Count(0), c.drawn);
    EXPECT_EQ(cmd.Display.TouchAreas[1].Width, 20);
  }
}

TEST_F(WidgetTest, TouchAreaSlotsAndCoordinates) {
  Run("BTN(0,10,10,20,20,1)");
  EXPECT_EQ(cmd.Display.TouchAreas[31].Width, 10);
  Run("BTN(32,10,10,40,20,1)");  // the same slot
  EXPECT_EQ(cmd.Display.TouchAreas[31].Width, 30);
  Run("BTN(5,50,10,40,20,1)");  // x2 below x1: nothing changes
  EXPECT_EQ(cmd.Display.TouchAreas[4].Width, 0);

  Run("CLS(0)");
  EXPECT_EQ(Run("BTN(3,1030,10,1040,20,1)"), (Report{6, 10, 16, 20}));  // bits 0-9 only
  EXPECT_TRUE(Is(6, 10, 17));
}

TEST_F(WidgetTest, IconAndCutAreas) {
  PutPicture(4, 40, 20, 0x100000, [](int x, int y) { return Rgb(x % 32, y, 1); });
  // Before any TICN an icon area has no size: nothing, the area stays.
  EXPECT_EQ(Run("BICN(1,50,50,1,2,65)"), (Report{0, 0, 0, 0}));
  EXPECT_EQ(Count(0), W * H);

  Run("TICN(4,4,2)");  // 4 x 2 icons of 10 x 10
  EXPECT_EQ(cmd.Display.IconWidth, 10);
  EXPECT_EQ(cmd.Display.IconHeight, 10);
  EXPECT_EQ(Run("BICN(1,50,50,5,2,65)"), (Report{50, 50, 60, 60}));
  // Icon 5: icon row 1, column 1 of the picture.
  EXPECT_EQ(surface.Pixel(50, 50), Tgd::ToSurfaceColour(Rgb(10, 10, 1)));
  EXPECT_EQ(surface.Pixel(59, 59), Tgd::ToSurfaceColour(Rgb(19, 19, 1)));
  EXPECT_EQ(cmd.Display.TouchAreas[0].Key, 65);
  Run("TICN(4,0,2)");  // no columns: the set stays
  EXPECT_EQ(cmd.Display.IconSetCols, 4);

  // A cut area shows its background slot's picture where it lies.
  Run("BPIC(2,100,100,4,1)");
  EXPECT_EQ(Run("PBTN(3,110,105,20,10,10,1,66)"), (Report{110, 105, 130, 115}));
  EXPECT_EQ(surface.Pixel(110, 105), Tgd::ToSurfaceColour(Rgb(10, 5, 1)));
  EXPECT_EQ(surface.Pixel(129, 114), Tgd::ToSurfaceColour(Rgb(29, 14, 1)));
  EXPECT_EQ(cmd.Display.TouchAreas[2].XWord, 110 + 2 * 1024);
  EXPECT_EQ(cmd.Display.TouchAreas[2].YWord, 105 + 1 * 1024);
}

class MenuTest : public SimTest {
 protected:
  MenuTest() {
    pages[3] = "MDF(1,7,'a');MDF(3,0,'ccc');";
    PutPicture(7, 4, 4, 0x100000, [](int, int) { return Rgb(31, 0, 31); });
  }
  // The colour number of row i's band, at its right end.
  int RowColour(int i) const {
    for (int c : {60, 61, 0, 5})
      if (Is(105, 15 + 20 * i, c)) return c;
    return -1;
  }
};

TEST_F(MenuTest, MenuRowsFromTheirPage) {
  // x, y, w, h, pw, ax1, ax2, hzm, yn, max, pg, go
  EXPECT_EQ(Run("MENU(10,10,100,20,4,2,30,16,0,3,3,0)"), (Report{10, 10, 110, 70}));
  EXPECT_EQ(Count(0), W * H);  // nothing drawn yet
  EXPECT_EQ(Run("MSHW"), (Report{-1, -1, -1, -1}));
  EXPECT_EQ(RowColour(0), 61);
  EXPECT_EQ(RowColour(1), 60);
  EXPECT_EQ(RowColour(2), 60);
  // Row 0's icon at ax1, centred: (20 - 4) / 2 rows down; row 1, without
  // its own MDF, keeps row 0's icon.
  EXPECT_EQ(surface.Pixel(12, 18), Tgd::ToSurfaceColour(Rgb(31, 0, 31)));
  EXPECT_EQ(surface.Pixel(12, 38), Tgd::ToSurfaceColour(Rgb(31, 0, 31)));
  EXPECT_EQ(cmd.Display.Text, "ccc");
  EXPECT_EQ(cmd.Display.BackColour, 60);

  // MSET(9) on three rows selects row 0 and redraws it and the row before.
  Run("MSET(2)");
  EXPECT_EQ(RowColour(2), 61);
  EXPECT_EQ(RowColour(0), 60);
  Run("CLS(5)");
  Run("MSET(9)");
  EXPECT_EQ(cmd.Display.MenuCurrent, 0);
  EXPECT_EQ(cmd.Display.MenuPrevious, 2);
  EXPECT_EQ(RowColour(0), 61);
  EXPECT_EQ(RowColour(1), 5);
  EXPECT_EQ(RowColour(2), 60);
}

TEST_F(MenuTest, MenusWithoutAPageAndPagesThatShowMenus) {
  EXPECT_EQ(Run("MENU(10,10,100,20,4,2,30,16,0,3,0,0)"), (Report{10, 10, 110, 70}));
  Run("MSHW");
  EXPECT_EQ(Count(0), W * H);

  // A page that shows the menu itself, and one that selects a row: the
  // nesting ends and the rows are drawn.
  for (const char* page : {"MSHW;MDF(1,0,'a');", "MSET(1);MSHW;"}) {
    SCOPED_TRACE(page);
    pages[4] = page;
    Run("CLS(0)");
    Run("MENU(10,10,100,20,4,2,30,16,0,3,4,0)");
    EXPECT_EQ(Run("MSHW"), (Report{-1, -1, -1, -1}));
    EXPECT_EQ(RowColour(2), 60);
  }
  // Rows beyond any screen are not drawn one by one.
  pages[4] = "MSHW;";
  Run("MENU(0,0,10,1,0,0,0,0,0,99999,4,0)");
  Run("MSHW");
  EXPECT_TRUE(Is(9, 0, 61));
}

TEST_F(WidgetTest, CurveGridAndSamples) {
  Run("SCC(24,31)");  // 23 and 24 share a colour value at start
  EXPECT_EQ(Run("DQX(0,0,10,10,10,10)"), (Report{0, 0, 100, 99}));
  // Grid columns 0, 10, ... 90 and grid rows 10, 20, ... from the top; top
  // row 22, bottom row 24, right border 22.
  EXPECT_TRUE(Is(5, 0, 22) && Is(5, 99, 24) && Is(100, 50, 22));
  EXPECT_TRUE(Is(0, 5, 22) && Is(10, 5, 22) && Is(5, 5, 21) && Is(5, 10, 22) && Is(5, 98, 21));
  EXPECT_TRUE(Is(0, 50, 22));
  EXPECT_EQ(Count(23), 0);  // all samples 0: no curve above the bottom row

  Run("Q128");
  EXPECT_EQ(Run("S128"), (Report{-1, -1, -1, -1}));
  EXPECT_EQ(cmd.Display.SampleCount, 2);
  EXPECT_TRUE(Is(0, 50, 23) && Is(1, 50, 23));
  EXPECT_TRUE(Is(1, 49, 21) && Is(1, 51, 25));
  EXPECT_TRUE(Is(2, 60, 23));  // column 2 joins sample 128 to the 0 after it

  Run("Q300");  // stored modulo 256
  EXPECT_EQ(cmd.Display.Samples[2], 44);

  // After W pushes into a curve of width W the first sample has gone.
  Run("DQX(0,120,5,10,1,10)");
  for (int i = 1; i <= 5; ++i) Run("Q" + std::to_string(i * 10));
  EXPECT_EQ(cmd.Display.SampleCount, 4);
  EXPECT_EQ(cmd.Display.Samples[0], 20);
  EXPECT_EQ(cmd.Display.Samples[4], 0);

  // Wider than 400: no samples, nothing drawn, but the area is reported.
  Run("CLS(0)");
  EXPECT_EQ(Run("DQX(0,0,50,10,9,10)"), (Report{0, 0, 450, 99}));
  Run("Q5");
  EXPECT_EQ(cmd.Display.SampleCount, 0);
  EXPECT_EQ(Count(0), W * H);
  // CLS empties the samples but keeps the curve.
  Run("DQX(0,0,10,10,10,10)");
  Run("Q1");
  Run("CLS(0)");
  EXPECT_EQ(cmd.Display.SampleCount, 0);
  EXPECT_EQ(cmd.Display.CellWidth, 10);
}

TEST_F(WidgetTest, InputBox) {
  EXPECT_EQ(Run("TSIN(24,10,20,200,99,2,1)"), (Report{10, 20, 200, 44}));
  EXPECT_EQ(cmd.Display.InputLength, 99 & 15);
  EXPECT_EQ(cmd.Display.InputMode, 2);
  EXPECT_EQ(Count(0), W * H);
  Run("CLS(0)");
  EXPECT_EQ(cmd.Display.InputMode, 0);
}

}  // namespace
}  // namespace panelcraft::test
