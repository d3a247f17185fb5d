// Text out of the ROM image: the 12-dot table of the program's own, the 12-
// and 16-dot fonts of the base data, the small font and full fonts, cut at
// right limits, wrapped in paragraphs, aligned in labels and laid over
// background pictures.
#include <gtest/gtest.h>

#include "app/text.h"
#include "sim/sim_fixture.h"

namespace panelcraft::test {
namespace {

// GB2312 glyph number of a two-byte character.
uint32_t Gb(const std::string& ch) {
  return (static_cast<unsigned char>(ch[0]) - 0xA1u) * 94 + (static_cast<unsigned char>(ch[1]) - 0xA1u);
}

class TextTest : public SimTest {
 protected:
  // 8 x 16 ASCII glyph of `code` at 0x75000: column i inked in rows 0..i.
  void PutAscii16Staircase(int code) {
    std::vector<uint8_t> g(16);
    for (int i = 0; i < 8; ++i) {
      const unsigned bits = (1u << (i + 1)) - 1;
      g[2 * i] = static_cast<uint8_t>(bits);
      g[2 * i + 1] = static_cast<uint8_t>(bits >> 8);
    }
    Put(0x75000 + 16 * static_cast<uint32_t>(code - 32), g);
  }
  void PutAscii16Solid(int code) { Put(0x75000 + 16 * static_cast<uint32_t>(code - 32), std::vector<uint8_t>(16, 0xFF)); }
  // A full-ink 16-dot GB2312 glyph in the base data's font.
  void PutHz16Solid(const std::string& ch) { Put(0x35000 + Gb(ch) * 32, std::vector<uint8_t>(32, 0xFF)); }
  void Text(const std::string& utf8Statement) { Run(Gbk(utf8Statement)); }
};

TEST_F(TextTest, TwelveDotAsciiCellFromTheProgramsTable) {
  Run("SBC(2)");
  EXPECT_EQ(Run("DS12(0,0,'AB',1)"), (Report{0, 0, 12, 12}));
  // The cell starts 3 rows down and is 13 rows high; ink from its second row.
  EXPECT_EQ(Region(0, 0, 6, 17, {{1, '#'}, {2, '.'}, {0, ' '}}),
            "      \n      \n      \n......\n"
            "..#...\n.#.#..\n#...#.\n#...#.\n#####.\n#...#.\n#...#.\n......\n"
            "......\n......\n......\n..... \n      \n");
  EXPECT_TRUE(Is(6, 7, 1));  // B's first column is full
  EXPECT_EQ(cmd.Display.CharWidth, 6);
}

TEST_F(TextTest, TwelveDotChineseFromTheBaseFont) {
  const std::string yao = Gbk("要");
  std::vector<uint8_t> glyph(24, 0);
  glyph[0] = 0xFF;  // column 0: all 12 dots
  glyph[1] = 0x0F;
  glyph[22] = 0x01;  // column 11: the top dot only
  Put(0x5000 + Gb(yao) * 24, glyph);
  Run("SBC(2)");
  EXPECT_EQ(Run(Gbk("DS12(0,0,'要显示的字符串',1)")), (Report{0, 0, 84, 12}));
  EXPECT_EQ(Count(1, 0, 0, 12, 20), 13);
  EXPECT_TRUE(Is(0, 11, 1) && Is(11, 0, 1) && Is(5, 5, 2));
  EXPECT_FALSE(Is(0, 12, 1));
  EXPECT_EQ(cmd.Display.TextEndX, 84);
  EXPECT_EQ(cmd.Display.PosX, 84);
}

TEST_F(TextTest, RightLimitCutsTheGlyphAndStopsTheText) {
  for (int c : {'A', 'B', 'C', 'D', 'E'}) PutAscii16Solid(c);
  EXPECT_EQ(Run("DS16(0,0,'ABCDE',1,20)"), (Report{0, 0, 24, 16}));
  EXPECT_EQ(Count(1), 20 * 16);  // A, B and the first 4 columns of C
  EXPECT_EQ(cmd.Display.RightLimit, 0);

  // Without its limit the text runs on; the limit counts only beyond the origin.
  EXPECT_EQ(Run("DS16(0,20,'ABCDE',1)"), (Report{0, 20, 40, 36}));
  Run("SXY(30,0)");
  EXPECT_EQ(Run("DS16(0,40,'ABCDE',1,0)"), (Report{30, 40, 70, 56}));
  Run("SXY(0,0)");
}

TEST_F(TextTest, SixteenDotGlyphsFromTheBaseData) {
  PutAscii16Staircase('a');
  PutHz16Solid(Gbk("中"));
  Run("SBC(2)");
  Text("DS16(0,0,'a中',1)");
  // The staircase: column i inked in rows 0..i; unset dots in the back colour.
  EXPECT_EQ(Region(0, 0, 8, 3, {{1, '#'}, {2, '.'}}), "########\n.#######\n..######\n");
  EXPECT_EQ(Count(1, 8, 0, 24, 16), 256);
  EXPECT_EQ(cmd.ReportRight, 24);
}

TEST_F(TextTest, LargerSizesUseFullFontsSmallFontOrFallBackToSixteenDots) {
  const std::string zhong = Gbk("中"), han = Gbk("汉");
  PutHz16Solid(han);
  PutAscii16Solid('Z');
  // Small font at 24 dots: 'a' 10 columns wide, and 中.
  std::vector<uint8_t> a(30, 0);
  a[0] = 0xFF;  // column 0, top 8 dots
  PutSmallGlyph(24, 0, 10, 'a', 0, a);
  PutSmallGlyph(24, 1, static_cast<uint8_t>(zhong[0]), static_cast<uint8_t>(zhong[1]), 4, std::vector<uint8_t>(72, 0x0F));

  Text("DS24(0,0,'a中汉Z',1)");
  EXPECT_EQ(cmd.ReportRight, 10 + 24 + 24 + 8);  // 汉 falls back to 16 dots, still 24 wide; Z to 8 x 16
  EXPECT_EQ(Count(1, 0, 0, 10, 24), 8);
  EXPECT_EQ(Count(1, 10, 0, 34, 24), 24 * 12);  // 0x0F: the top 4 dots of each byte
  EXPECT_EQ(Count(1, 34, 0, 58, 24), 16 * 16);
  EXPECT_EQ(Count(1, 58, 0, 66, 24), 8 * 16);

  // With a 24-dot full font in the font header, 中 comes from it.
  Put(0x1000, {0xAE, 0x5F});
  Put(0x1000 + 126, {0x5E, 0xAF});
  Put16(0x1002, 0x2000);  // 24 dots at 0x200000
  Put16(0x1004, 0x3000);
  Put16(0x1006, 0x3000);
  Put16(0x1008, 0x3000);
  Put(0x200000 + Gb(zhong) * 72, std::vector<uint8_t>(72, 0xFF));
  cmd.Display.ReloadFontHeader();
  Run("CLS(0)");
  Text("DS24(0,0,'中',1)");
  EXPECT_EQ(Count(1), 24 * 24);
}

TEST_F(TextTest, AtMost127BytesButTheLastCharacterWhole) {
  PutAscii16Solid('A');
  PutHz16Solid(Gbk("中"));
  Tgd& d = cmd.Display;
  d.ForeColour = 1;
  d.Text = std::string(130, 'A');
  d.DrawText(16);
  EXPECT_EQ(d.AreaRight, 127 * 8);
  d.PosX = 0;
  d.Text = std::string(126, 'A') + Gbk("中");
  d.DrawText(16);
  EXPECT_EQ(d.AreaRight, 126 * 8 + 16);
  d.PosX = 0;
  d.Text = std::string("AB\0AB", 5);
  d.DrawText(16);
  EXPECT_EQ(d.AreaRight, 16);
}

TEST_F(TextTest, ParagraphsWrapBeforeTheRightEdge) {
  PutHz16Solid(Gbk("字"));
  std::string twenty;
  for (int i = 0; i < 20; ++i) twenty += "字";
  EXPECT_EQ(Run(Gbk("BS16(0,0,100,4,'" + twenty + "',1)")), (Report{0, 0, 100, 76}));
  // Six on a line (the last from 80 to 96), lines 20 rows apart, 6+6+6+2.
  EXPECT_EQ(Count(1, 0, 0, W, 16), 6 * 256);
  EXPECT_EQ(Count(1, 96, 0, W, H), 0);
  EXPECT_EQ(Count(1, 0, 16, W, 20), 0);
  EXPECT_EQ(Count(1, 0, 20, W, 36), 6 * 256);
  EXPECT_EQ(Count(1, 0, 60, W, 76), 2 * 256);
  // At 12 dots one-byte characters take the 6-pixel cell and wrap at right - 6.
  Run("CLS(0)");
  EXPECT_EQ(Run("BS12(0,100,30,2,'AAAAAAAA',1)"), (Report{0, 100, 30, 126}));  // 4 + 4
}

TEST_F(TextTest, LabelsAlignAndFillTheFreeParts) {
  PutAscii16Solid('A');
  Run("SBC(2)");
  // Centred: width 16 in 90: starts at 10 + 37.
  EXPECT_EQ(Run("LABL(16,10,50,100,'AA',1,1)"), (Report{10, 50, 100, 66}));
  EXPECT_EQ(Count(2, 10, 50, 47, 66), 37 * 16);
  EXPECT_EQ(Count(1, 47, 50, 63, 66), 16 * 16);
  EXPECT_EQ(Count(2, 63, 50, 100, 66), 37 * 16);
  EXPECT_EQ(cmd.Display.PosX, 10);
  EXPECT_EQ(cmd.Display.AreaWidth, 90);

  Run("CLS(0)");
  Run("LABL(16,10,50,100,'AA',1,2)");  // right
  EXPECT_EQ(Count(2), 74 * 16);
  EXPECT_EQ(Count(1, 84, 50, 100, 66), 256);
  Run("CLS(0)");
  Run("LABL(16,10,50,100,'AA',1,0)");  // left
  EXPECT_EQ(Count(1, 10, 50, 26, 66), 256);
  EXPECT_EQ(Count(2, 26, 50, 100, 66), 74 * 16);

  // Text exactly x2 - x1 - 1 wide: no fill, drawn from x1.
  Run("CLS(0)");
  Run("LABL(16,10,50,27,'AA',1,1)");
  EXPECT_EQ(Count(2), 0);
  EXPECT_EQ(Count(1, 10, 50, 26, 66), 256);
}

class OverlayTest : public TextTest {
 protected:
  OverlayTest() {
    // Picture 1: 100 x 100 at (0, 0), each pixel its own colour value.
    PutPicture(1, 100, 100, 0x100000, [](int x, int y) { return Rgb(x % 32, y % 64, 1); });
    PutAscii16Staircase('A');
    PutAscii16Staircase('B');
  }
  SurfaceColour PicturePixel(int x, int y) const { return Tgd::ToSurfaceColour(Rgb(x % 32, y % 64, 1)); }
};

TEST_F(OverlayTest, OverlayTextShowsTheSlotPictureBehindItsGlyphs) {
  Run("BPIC(1,0,0,1,1)");  // registered only
  EXPECT_EQ(Count(0), W * H);
  Run("SBC(2)");
  EXPECT_EQ(Run("PS16(1,10,10,'A',1)"), (Report{10, 10, 18, 26}));
  EXPECT_TRUE(Is(10, 10, 1));
  EXPECT_EQ(surface.Pixel(10, 11), PicturePixel(10, 11));  // unset dot: the picture
  EXPECT_EQ(surface.Pixel(17, 25), PicturePixel(17, 25));
  EXPECT_TRUE(Is(17, 8, 0));

  // Slot numbers are taken AND 7; text hanging below the picture is drawn plain.
  Run("PS16(9,10,90,'A',1)");
  EXPECT_TRUE(Is(10, 91, 2));
  // An empty slot draws plain text.
  Run("PS16(3,150,10,'A',1)");
  EXPECT_TRUE(Is(150, 11, 2));
  // Without a right limit a PS text stops at the display width.
  EXPECT_EQ(Run("PS16(1,310,150,'AAAA',1)"), (Report{310, 150, 326, 166}));
}

TEST_F(OverlayTest, PictureLabelsRestoreTheBandFromThePicture) {
  Run("BPIC(1,0,0,1,1)");
  Run("SBC(2)");
  EXPECT_EQ(Run("PLAB(16,10,10,90,'AB',1,1,9)"), (Report{10, 10, 90, 26}));  // slot 9 is slot 1
  // Both free parts come from the picture, the text sits in the middle.
  for (auto [x, y] : {std::pair{10, 10}, {41, 25}, {58, 10}, {89, 25}}) EXPECT_EQ(surface.Pixel(x, y), PicturePixel(x, y));
  EXPECT_TRUE(Is(42, 10, 1) && Is(57, 10, 1));
  EXPECT_EQ(surface.Pixel(42, 11), PicturePixel(42, 11));
  EXPECT_EQ(Count(2), 0);
  EXPECT_TRUE(Is(10, 26, 0) && Is(90, 10, 0));

  // A label over an empty slot is a plain label.
  Run("CLS(0)");
  Run("PLAB(16,10,10,90,'AB',1,1,4)");
  EXPECT_EQ(Count(2, 10, 10, 42, 26), 32 * 16);
}

TEST_F(OverlayTest, TwelveDotOverlayUsesTheProgramsAsciiCells) {
  Run("BPIC(0,0,0,1,1)");
  Run("PS12(0,10,10,'A',1)");
  EXPECT_EQ(cmd.ReportRight, 16);
  EXPECT_TRUE(Is(12, 14, 1));  // the peak of the A, as in the 12-dot cell drawn one row higher
  EXPECT_EQ(surface.Pixel(10, 10), PicturePixel(10, 10));
}

}  // namespace
}  // namespace panelcraft::test
