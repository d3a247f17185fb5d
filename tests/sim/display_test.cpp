// The virtual display's palette, image reads and plain drawing, driven by
// statements the way the designer drives it, and the reports they leave.
#include <gtest/gtest.h>

#include "sim/sim_fixture.h"

namespace panelcraft::test {
namespace {

TEST(Colours, ConversionsBothWays) {
  EXPECT_EQ(Tgd::ToSurfaceColour(0xF800), (SurfaceColour{248, 0, 0}));
  EXPECT_EQ(Tgd::ToSurfaceColour(0xFFFF), (SurfaceColour{248, 252, 248}));
  EXPECT_EQ(Tgd::ToSurfaceColour(0x0841), (SurfaceColour{8, 8, 8}));
  EXPECT_EQ(Tgd::ToRgb565(255, 255, 255), 0xFFFF);
  EXPECT_EQ(Tgd::ToRgb565(0, 255, 0), 0x07E0);
  EXPECT_EQ(Tgd::ToRgb565(8, 4, 8), 0x0821);
  Tgd d;
  EXPECT_EQ(d.Palette[17], Tgd::ToSurfaceColour(0xF800));
  EXPECT_EQ(d.Palette[61], Tgd::ToSurfaceColour(0x239D));
}

class DisplayTest : public SimTest {};

TEST_F(DisplayTest, FontHeaderChoosesTheFullFonts) {
  struct Case {
    const char* what;
    std::vector<uint16_t> v;  // v[2], v[4], ... v[14]
    bool magic;
    std::array<int32_t, 7> expected;  // Hz16Base, Hz24Base, Hz32Base, Hz48Base, layouts 16, 24, 32
  } cases[] = {
      {"no magic bytes", {0x100, 0x200, 0x300, 0x400, 0xFFFF, 0xFFFF, 0xFFFF}, false, {848, 0, 0, 0, 1, 1, 1}},
      {"three GB2312 fonts", {0x100, 0x200, 0x300, 0x400, 0xFFFF, 0xFFFF, 0xFFFF}, true, {848, 0x100, 0x200, 0x300, 1, 1, 1}},
      {"all regions empty", {0x500, 0x500, 0x500, 0x500, 0xFFFF, 0xFFFF, 0xFFFF}, true, {848, 0, 0, 0, 1, 1, 1}},
      {"GBK 16 and 24 replace", {0x100, 0x200, 0x300, 0x400, 0x500, 0x600, 0xFFFF}, true, {0x400, 0x500, 0x200, 0x300, 3, 3, 1}},
      {"GBK 32 up to the input table", {0x100, 0x100, 0x100, 0x100, 0x100, 0x100, 0x700}, true, {848, 0, 0x100, 0, 1, 1, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::fill_n(rom->Image.begin() + 0x1000, 128, 0xFF);
    if (c.magic) {
      Put(0x1000, {0xAE, 0x5F});
      Put(0x1000 + 126, {0x5E, 0xAF});
    }
    for (size_t i = 0; i < c.v.size(); ++i) Put16(0x1002 + 2 * static_cast<uint32_t>(i), c.v[i]);
    Tgd& d = cmd.Display;
    d.ReloadFontHeader();
    EXPECT_EQ((std::array<int32_t, 7>{d.Hz16Base, d.Hz24Base, d.Hz32Base, d.Hz48Base, d.Hz16Layout, d.Hz24Layout,
                                      d.Hz32Layout}),
              c.expected);
  }
}

TEST_F(DisplayTest, ReadImageStaysInsideTheImageAndTheWindows) {
  Tgd& d = cmd.Display;
  Put(0xFFFFF0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});
  Put(0x10, {0x11, 0x22, 0x33, 0x44});
  d.ReadImage(0xFFFFF0, 8);  // ends below the last byte: read
  EXPECT_EQ(d.ReadWindow[0], 1);
  d.ReadImage(0xFFFFF8, 8);  // must lie below 0x1000000 - 8
  EXPECT_EQ(std::vector<uint8_t>(d.ReadWindow.begin(), d.ReadWindow.begin() + 8), std::vector<uint8_t>(8, 0xFF));
  d.ReadImage(0x10, 4);
  d.ReadImage(-1, 4);  // negative: as the end of the image
  EXPECT_EQ(d.ReadWindow[0], 0xFF);
  d.ReadImage(0x10, 100000);  // at most the window
  EXPECT_EQ(d.ReadWindow[0], 0x11);

  d.ReadColumn(0x10, 4);
  d.ReadColumn(-5, 4);  // outside: unchanged
  d.ReadColumn(0xFFFFFF, 4);
  EXPECT_EQ(d.ColumnWindow[3], 0x44);
}

TEST_F(DisplayTest, BoxOutlineFillAndSquareRoundBoxes) {
  Run("BOXF(10,10,20,20,1)");
  EXPECT_EQ(Count(1), 100);  // right column and bottom row excluded
  EXPECT_TRUE(Is(19, 19, 1));
  EXPECT_FALSE(Is(20, 20, 1));

  Run("BOX(30,10,40,20,2)");
  EXPECT_EQ(Count(2), 40);  // the outline of 11 x 11 pixels, corners included
  for (auto [x, y] : {std::pair{30, 10}, {40, 10}, {30, 20}, {40, 20}}) EXPECT_TRUE(Is(x, y, 2));
  EXPECT_FALSE(Is(35, 15, 2));

  // CBOX and CBOF draw what BOX and BOXF draw; the radius is only kept.
  const Surface before = surface;
  Run("CBOX(30,10,40,20,9,2)");
  Run("CBOF(10,10,20,20,9,1)");
  EXPECT_EQ(surface.Pixels(), before.Pixels());
  EXPECT_EQ(cmd.Display.Radius, 9);

  // Scheme box: fill 50 + n, outline 40 + n, ForeColour left at 40 + n.
  Run("W8BF(50,10,60,20,2)");
  EXPECT_TRUE(Is(50, 10, 42));
  EXPECT_TRUE(Is(55, 15, 52));
  EXPECT_EQ(cmd.Display.ForeColour, 42);
}

TEST_F(DisplayTest, LinesPointsAndCircles) {
  Run("PL(10,10,20,10,1)");
  EXPECT_EQ(Count(1), 10);  // the end point is not set
  EXPECT_FALSE(Is(20, 10, 1));
  Run("PL(10,20,15,25,2)");
  EXPECT_EQ(Count(2), 5);
  EXPECT_TRUE(Is(14, 24, 2));
  Run("PS(5,5,3)");
  EXPECT_EQ(Count(3), 1);

  Run("CIR(100,100,0,4)");
  EXPECT_EQ(Count(4), 1);
  EXPECT_TRUE(Is(100, 100, 4));
  Run("CIR(200,100,1,5)");
  EXPECT_EQ(Region(199, 99, 3, 3, {{5, '#'}, {0, '.'}}), ".#.\n#.#\n.#.\n");

  Run("CIR(100,150,10,6)");
  EXPECT_TRUE(Is(110, 150, 6) && Is(90, 150, 6) && Is(100, 140, 6) && Is(100, 160, 6));
  EXPECT_FALSE(Is(100, 150, 6));

  // A filled circle lies in the square from x - r to x + r, right and bottom
  // excluded, and is mirror-symmetric in it.
  Run("CIRF(50,200,10,7)");
  EXPECT_EQ(Count(7, 0, 0, 40, H) + Count(7, 60, 0, W, H) + Count(7, 0, 0, W, 190) + Count(7, 0, 210, W, H), 0);
  EXPECT_TRUE(Is(40, 200, 7) && Is(59, 199, 7) && Is(50, 190, 7) && Is(50, 209, 7));
  EXPECT_FALSE(Is(40, 190, 7));
  for (int y = 190; y < 210; ++y)
    for (int x = 40; x < 60; ++x) EXPECT_EQ(Is(x, y, 7), Is(99 - x, y, 7)) << x << "," << y;
  Run("CIRF(300,10,0,8)");
  EXPECT_EQ(Count(8), 0);
}

TEST_F(DisplayTest, ClearPaletteAndColoursModulo64) {
  Run("BTN(1,10,10,20,20,1)");
  Run("BPIC(2,0,0,5,1)");
  Run("CLS(3)");
  EXPECT_EQ(Count(3), W * H);
  EXPECT_EQ(cmd.Display.TouchAreas[0].Width, 0);
  EXPECT_EQ(cmd.Display.Slots[2].Picture, 0);

  Run("SCC(70,63488)");  // colour 70 is colour 6
  EXPECT_EQ(cmd.Display.Palette[6], (SurfaceColour{248, 0, 0}));
  Run("SCC(1,99999)");  // only the low 16 bits count: 34463 = 0x869F
  EXPECT_EQ(cmd.Display.Palette[1], Tgd::ToSurfaceColour(0x869F));
  Run("BOXF(0,0,10,10,65)");  // colour 65 is colour 1
  EXPECT_TRUE(Is(5, 5, 1));
  Run("CLS(0)");
  EXPECT_EQ(cmd.Display.Palette[1], Tgd::ToSurfaceColour(0x869F));  // the palette stays
}

TEST_F(DisplayTest, ReportsAndTheOrigin) {
  struct Step {
    const char* statement;
    Report report;
  } steps[] = {
      {"BOX(0,0,100,100,1)", {0, 0, 100, 100}},
      {"CLS(0)", {-1, -1, -1, -1}},
      {"PL(1,1,5,5,1)", {-1, -1, -1, -1}},  // no area, and the display's area stays
      {"cls(0)", {0, 0, 100, 100}},         // no entry (names are case-sensitive): the area
      {"TPST(1)", {-1, -1, -1, -1}},
      {"SEBL(100)", {-1, -1, -1, -1}},
      {"SXY(160,120)", {-1, -1, -1, -1}},
      {"BOX(0,0,10,10,1)", {160, 120, 170, 130}},
      {"BTN(1,100,10,50,60,1)", {160, 120, 170, 130}},  // x2 below x1: nothing changes
      {"PIC(0,0,512)", {160, 120, 170, 130}},           // stops early: the area before
      {"SXY(10,10)", {-1, -1, -1, -1}},
      {"SXY(5,5)", {-1, -1, -1, -1}},
      {"BOXF(0,0,1,1,1)", {5, 5, 6, 6}},  // the origin is set, not added
      {"SXY(0,0)", {-1, -1, -1, -1}},
  };
  for (const Step& s : steps) EXPECT_EQ(Run(s.statement), s.report) << s.statement;
  EXPECT_TRUE(Is(165, 125, 0));
  EXPECT_TRUE(Is(160, 125, 1));
  EXPECT_TRUE(Is(5, 5, 1));
}

TEST_F(DisplayTest, StatementListsRunInOrder) {
  RunList("CLS(2);BOXF(0,0,10,10,1);BOXF(5,5,20,20,3)");  // the text after the last ";" never runs
  EXPECT_EQ(Count(1), 100);
  EXPECT_EQ(Count(3), 0);
  RunList("BOXF( 0, 0 ,10,10,4);");
  EXPECT_EQ(Count(4), 100);
}

TEST_F(DisplayTest, NoSurfaceAndNoRomDrawNothingAndNeverFault) {
  Tcmd alone;
  alone.DisplayWidth = 100;
  alone.DisplayHeight = 100;
  for (const char* s : {"CLS(1)", "BOX(0,0,10,10,1)", "DS16(0,0,'ab',1)", "PIC(0,0,1)", "DQX(0,0,10,10,10,10)"})
    alone.RunStatement(s);
  EXPECT_EQ(alone.ReportRight, 100);  // the curve's area
}

}  // namespace
}  // namespace panelcraft::test
