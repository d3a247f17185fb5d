#include "fonts/makefont.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/text.h"
#include "device/rom.h"
#include "fonts/font_test_support.h"

namespace panelcraft {
namespace {

using testing::HasInk;
using testing::kTestFace;

constexpr uint32_t kMini = 0x76000;

class MakefontTest : public ::testing::Test {
 protected:
  MakefontTest() { f.Workspace = temp.path(); }

  // A small-font list run of one size, as the generation run does it.
  void ListRun(int32_t dotSize, int32_t mode, const std::string& list) {
    f.DotSize = dotSize;
    f.GlyphMode = mode;
    f.FontFace = kTestFace;
    f.IndexPos = Trom::MiniIndexTable(dotSize);
    if (f.DataPos < kMini) f.DataPos = kMini;
    if (mode == 2)
      f.FitChineseFont();
    else
      f.FitAsciiFont();
    f.CharSetChoice = 1;
    f.CharList = list;
    f.Generate();
  }
  std::vector<uint8_t> Entry(uint32_t table, int n) const {
    const auto at = f.GlyphBuffer.begin() + table + 4 * n;
    return {at, at + 4};
  }
  // The first two bytes of every entry of a table, up to the end marker.
  std::vector<std::string> EntryCodes(uint32_t table) const {
    std::vector<std::string> codes;
    for (int n = 0; n < 512 && f.GlyphBuffer[table + 4 * n] != 0xFF; ++n) {
      const uint8_t* e = &f.GlyphBuffer[table + 4 * n];
      codes.push_back(e[0] < 0x80 ? std::string(1, static_cast<char>(e[1]))
                                  : std::string{static_cast<char>(e[0]), static_cast<char>(e[1])});
    }
    return codes;
  }

  test::TempDir temp;
  Trom rom;
  DrawingSurface surface;
  Tmakefont f{rom, surface};
};

TEST_F(MakefontTest, DefaultsAndRegions) {
  EXPECT_EQ(f.MiniDataBase, kMini);
  EXPECT_EQ(f.FontFace, Gbk("宋体"));
  EXPECT_EQ(f.DotSize, 24);
  EXPECT_EQ(f.GlyphMode, 2);
  EXPECT_EQ(f.GlyphBuffer.size(), 5242880u);
  EXPECT_TRUE(std::all_of(f.GlyphBuffer.begin(), f.GlyphBuffer.end(), [](uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(Trom::MiniIndexTable(24), 0x2000u);
  EXPECT_EQ(Trom::MiniIndexTable(32), 0x2800u);
  EXPECT_EQ(Trom::MiniIndexTable(48), 0x3000u);
  EXPECT_EQ(Trom::MiniIndexTable(64), 0x3800u);
}

// Full fonts: file size, cell order, the glyph of a code at its glyph number,
// and a code that is no character keeping its (blank) cell.
struct FullCase {
  int32_t dotSize;
  int32_t choice;
  uint64_t fileSize;
  int rows;
  std::string code;      // a character whose cell is checked
  uint64_t glyphNumber;  // its glyph number
};

class FullFontTest : public MakefontTest, public ::testing::WithParamInterface<FullCase> {};

TEST_P(FullFontTest, FileHoldsEveryCellInCodeOrder) {
  const FullCase c = GetParam();
  f.Reset();
  f.DotSize = c.dotSize;
  f.FontFace = kTestFace;
  f.GlyphMode = 2;
  f.FitChineseFont();
  f.CharSetChoice = c.choice;
  std::vector<int> progress;
  f.Generate([&](int percent) { progress.push_back(percent); });
  f.OutputName = "hz" + std::to_string(c.dotSize);
  f.WriteFullFontFile();
  EXPECT_TRUE(f.Reports.empty());
  EXPECT_EQ(FileSizeOrMinusOne(temp.path() / (f.OutputName + ".sbin")), static_cast<int64_t>(c.fileSize));
  ASSERT_EQ(progress.size(), static_cast<size_t>(c.rows));
  EXPECT_EQ(progress.front(), 0);
  EXPECT_EQ(progress.back(), 100);
  EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));

  const std::string file = ReadFileBytes(temp.path() / (f.OutputName + ".sbin"));
  const size_t glyphBytes = static_cast<size_t>(c.dotSize * c.dotSize / 8);
  const std::string fromFile = file.substr(c.glyphNumber * glyphBytes, glyphBytes);
  // The same character packed on its own gives the same bytes.
  f.DataPos = 0;
  f.PackGlyph(c.code);
  const std::string alone(f.GlyphBuffer.begin(), f.GlyphBuffer.begin() + static_cast<long>(glyphBytes));
  EXPECT_EQ(fromFile, alone);
  EXPECT_TRUE(HasInk(reinterpret_cast<const uint8_t*>(alone.data()), glyphBytes));
}

INSTANTIATE_TEST_SUITE_P(Fonts, FullFontTest,
                         ::testing::Values(
                             // "啊" at (15 x 94) x 72 = 101,520
                             FullCase{24, 3, 588816, 87, "\xB0\xA1", 15 * 94},
                             // GBK 0x81 0x40 is the first glyph
                             FullCase{16, 4, 770112, 126, "\x81\x40", 0}));

TEST_F(MakefontTest, GbkCellOfANonCharacterStaysBlank) {
  f.Reset();
  f.DotSize = 16;
  f.FontFace = kTestFace;
  f.FitChineseFont();
  f.CharSetChoice = 4;
  f.Generate();
  // 0x81 0x7F is no GBK character; its cell is glyph number 63.
  const uint8_t* cell = &f.GlyphBuffer[63 * 32];
  EXPECT_FALSE(HasInk(cell, 32));
  EXPECT_TRUE(HasInk(&f.GlyphBuffer[62 * 32], 32));
  EXPECT_EQ(f.DataPos, 770112u);
}

TEST_F(MakefontTest, FullFontsThatCannotBeMadeAreRefusedBeforeDrawing) {
  struct Case {
    int32_t dotSize, choice;
    bool refused;
  };
  for (const Case c : {Case{64, 3, true}, Case{64, 4, true}, Case{48, 4, true}, Case{48, 3, false}, Case{32, 4, false},
                       Case{24, 1, false}}) {
    SCOPED_TRACE(std::to_string(c.dotSize) + "/" + std::to_string(c.choice));
    EXPECT_EQ(Tmakefont::FullFontRefusal(c.dotSize, c.choice).has_value(), c.refused);
  }
  EXPECT_EQ(*Tmakefont::FullFontRefusal(64, 3), Gbk("64点阵暂不支持全字库，请选择小字库(部分汉字)"));
  f.Reset();
  f.DotSize = 48;
  f.FontFace = kTestFace;
  f.CharSetChoice = 4;
  f.Generate();
  EXPECT_EQ(f.DataPos, 0u);
  EXPECT_EQ(f.GlyphBuffer[0], 0xFF);
  ASSERT_EQ(f.Reports.size(), 1u);
  EXPECT_NE(f.Reports[0].find("48"), std::string::npos);
}

TEST_F(MakefontTest, EntriesCarryWidthCodeAndAlignedOffset) {
  ListRun(24, 1, "ab");
  // Fixed width: 12 columns of 3 bytes; the next glyph starts at 40.
  EXPECT_EQ(Entry(0x2000, 0), (std::vector<uint8_t>{12, 'a', 0x00, 0x00}));
  EXPECT_EQ(Entry(0x2000, 1), (std::vector<uint8_t>{12, 'b', 0x00, 0x05}));
  EXPECT_EQ(Entry(0x2000, 2)[0], 0xFF);
  EXPECT_EQ(f.DataPos, kMini + 40 + 36);
  for (uint32_t gap = kMini + 36; gap < kMini + 40; ++gap) EXPECT_EQ(f.GlyphBuffer[gap], 0xFF);
  EXPECT_EQ(f.IndexPos, 0x2008u);

  // Chinese entries follow in the same table; offsets above 2,047 bytes use byte 2.
  f.DataPos = kMini + 0x12340;
  f.GlyphMode = 2;
  f.FitChineseFont();
  f.CharSetChoice = 2;
  f.CharList = "\xB0\xA1";
  f.Generate();
  EXPECT_EQ(Entry(0x2000, 2), (std::vector<uint8_t>{0xB0, 0xA1, 0x24, 0x68}));
  EXPECT_EQ(f.DataPos, kMini + 0x12340 + 72);
}

TEST_F(MakefontTest, ListsSkipRepeatsAndCharactersOfTheOtherMode) {
  struct Case {
    int32_t mode;
    std::string list;
    std::vector<std::string> codes;
  };
  const std::string a = "\xB0\xA1", bo = "\xB1\xA1";
  const Case cases[] = {
      {2, a + a, {a}},
      {1, "aba", {"a", "b"}},
      {0, "aba", {"a", "b"}},
      {2, "a" + a + "b" + bo, {a, bo}},
      {1, "a" + a + "b", {"a", "b"}},
      {1,
       "\xB0"
       "ab",
       {"b"}},               // 0xB0 'a' is one two-byte character
      {2, a + "\xB1", {a}},  // a lone lead byte at the end is ignored
      {1, "a\xB1", {"a"}},
      {2, "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(GbkToUtf8(c.list) + " mode " + std::to_string(c.mode));
    f.Reset();
    ListRun(24, c.mode, c.list);
    EXPECT_EQ(EntryCodes(0x2000), c.codes);
    if (c.codes.empty()) {
      EXPECT_EQ(f.DataPos, kMini);
      EXPECT_TRUE(std::all_of(&f.GlyphBuffer[0x2000], &f.GlyphBuffer[0x2800], [](uint8_t b) { return b == 0xFF; }));
    }
    EXPECT_TRUE(f.Reports.empty());
  }
}

TEST_F(MakefontTest, FixedWidthGlyphsAreHalfTheSizeWide) {
  for (int32_t size : {24, 32}) {
    f.Reset();
    f.DataPos = kMini;
    f.DotSize = size;
    f.GlyphMode = 1;
    f.FontFace = kTestFace;
    f.IndexPos = Trom::MiniIndexTable(size);
    f.FitAsciiFont();
    f.CharSetChoice = 0;
    f.Generate();
    const uint32_t glyphBytes = static_cast<uint32_t>(size / 2 * size / 8);
    const uint32_t step = (glyphBytes + 7) / 8;  // in units of 8 bytes
    for (int n = 0; n < 95; ++n) {
      const auto e = Entry(Trom::MiniIndexTable(size), n);
      ASSERT_EQ(e[0], size / 2) << n;
      EXPECT_EQ(e[1], 0x20 + n);
      EXPECT_EQ(e[2] * 256 + e[3], static_cast<int>(n * step));
    }
    EXPECT_EQ(Entry(Trom::MiniIndexTable(size), 95)[0], 0xFF);
    // Every printable character but the space has ink.
    for (int n = 1; n < 95; ++n) EXPECT_TRUE(HasInk(&f.GlyphBuffer[kMini + n * step * 8], glyphBytes)) << n;
  }
}

TEST_F(MakefontTest, ProportionalSpaceIsHalfTheSizeOfEmptyColumns) {
  ListRun(32, 0, " i");
  EXPECT_EQ(Entry(0x2800, 0), (std::vector<uint8_t>{16, ' ', 0, 0}));
  EXPECT_TRUE(std::all_of(&f.GlyphBuffer[kMini], &f.GlyphBuffer[kMini + 64], [](uint8_t b) { return b == 0; }));
  const auto i = Entry(0x2800, 1);
  EXPECT_EQ(i[1], 'i');
  EXPECT_GT(i[0], 0);
  EXPECT_LT(i[0], 16);  // narrower than the fixed width
  EXPECT_EQ(i[3], 8);
}

// The Chinese fitting: the largest height whose probe fits, the probe's
// squared box at column 1, row 1; real glyphs then lie inside the cell.
TEST_F(MakefontTest, ChineseFittingPutsGlyphsInsideTheCell) {
  for (int32_t size : {16, 24, 32, 48, 64}) {
    SCOPED_TRACE(size);
    f.DotSize = size;
    f.GlyphMode = 2;
    f.FontFace = kTestFace;
    f.FitChineseFont();
    EXPECT_TRUE(f.Reports.empty());
    EXPECT_LE(f.FontHeight, size * 12 / 10);
    if (f.FontHeight < size * 12 / 10) {
      // One pixel taller would not fit.
      const int32_t fitted = f.FontHeight;
      f.FontHeight = fitted + 1;
      f.ApplyFont();
      surface.FillWhite(1, 1, 200, 200);
      f.Engine().DrawText(surface, 20, 20, "\xB1\xA1");
      f.MeasureInk();
      EXPECT_TRUE(f.InkRight - f.InkLeft >= size || f.InkBottom - f.InkTop >= size);
      f.FontHeight = fitted;
      f.ApplyFont();
    }
    f.DrawGlyph("\xB1\xA1");
    f.MeasureInk();
    EXPECT_GE(f.InkLeft, 1);
    EXPECT_GE(f.InkTop, 1);
    EXPECT_TRUE(f.InkLeft == 1 || f.InkTop == 1);
    EXPECT_LE(f.InkRight, size);
    EXPECT_LE(f.InkBottom, size);
    // Ordinary characters: ink, and none of it outside the cell.
    for (const char* ch : {"\xB0\xA1", "\xB9\xFA", "\xD6\xD0", "\xD2\xBB", "\xA3\xC1"}) {
      f.DrawGlyph(ch);
      bool inside = false, outside = false;
      for (int y = 0; y <= 200; ++y)
        for (int x = 0; x <= 200; ++x) {
          if (!surface.IsInk(x, y)) continue;
          (x >= 1 && x <= size && y >= 1 && y <= size ? inside : outside) = true;
        }
      EXPECT_TRUE(inside) << GbkToUtf8(ch);
      EXPECT_FALSE(outside) << GbkToUtf8(ch);
    }
  }
}

TEST_F(MakefontTest, AsciiFittingLeavesTwoBlankRowsAboveTheTallestInk) {
  for (int32_t size : {24, 32, 48, 64}) {
    SCOPED_TRACE(size);
    f.DotSize = size;
    f.GlyphMode = 0;
    f.FontFace = kTestFace;
    f.FitAsciiFont();
    EXPECT_TRUE(f.Reports.empty());
    EXPECT_EQ(f.OffsetX, 0);
    EXPECT_EQ(f.AsciiFontWidth, f.FontWidth);
    EXPECT_LE(f.Engine().TextAdvance("A"), size / 2);
    // The probe drawn where glyphs are drawn: tallest ink on row 3.
    surface.FillWhite(1, 1, 3200, 255);
    f.Engine().DrawText(
        surface, 1, f.OffsetY + 1,
        "`1234567890-=~!@#$%^&*()_+qwertyuioopp[]\\QWERTYUIOP{}|asdfghjkl;ASDFGHJKL:zxcvbnm,./ZXCVBNM<>?");
    f.MeasureInkRows();
    EXPECT_EQ(f.InkTop, 3);
    EXPECT_LE(f.InkBottom, size);
  }
}

TEST_F(MakefontTest, TableStopsAt512EntriesWithAReport) {
  // 600 different GB2312 characters for the 24-dot table.
  std::string list;
  for (int n = 0; n < 600; ++n) {
    list += static_cast<char>(0xB0 + n / 94);
    list += static_cast<char>(0xA1 + n % 94);
  }
  ListRun(24, 2, list);
  EXPECT_EQ(EntryCodes(0x2000).size(), 512u);
  EXPECT_EQ(f.IndexPos, 0x2800u);
  EXPECT_TRUE(std::all_of(&f.GlyphBuffer[0x2800], &f.GlyphBuffer[0x4000], [](uint8_t b) { return b == 0xFF; }));
  EXPECT_EQ(f.DataPos, kMini + 512 * 72);
  ASSERT_EQ(f.Reports.size(), 1u);
  EXPECT_EQ(f.Reports[0], Gbk("24点阵的字符表已满(512项)，后面的88个字符没有生成"));
}

TEST_F(MakefontTest, SmallFontDataStopsBeforeThePageArea) {
  f.DataPos = kMini + 434176 - 600;
  ListRun(64, 2, "\xB0\xA1\xB1\xA1\xB9\xFA");
  EXPECT_EQ(EntryCodes(0x3800).size(), 1u);
  EXPECT_EQ(f.DataPos, kMini + 434176 - 600 + 512);
  ASSERT_EQ(f.Reports.size(), 1u);
  EXPECT_NE(f.Reports[0].find(Gbk("434176字节")), std::string::npos);
  EXPECT_NE(f.Reports[0].find(Gbk("后面的2个字符")), std::string::npos);
  // ASCII glyphs are refused the same way.
  f.Reports.clear();
  ListRun(64, 1, "ab");
  EXPECT_TRUE(EntryCodes(0x3800).size() == 1u);
  EXPECT_EQ(f.Reports.size(), 1u);
}

TEST_F(MakefontTest, MiniFilesHoldTheIndexAreaAndTheDataUpToDataPos) {
  ListRun(24, 1, "ab");
  f.WriteMiniFiles();
  const std::string idx = ReadFileBytes(temp.path() / "mini.idx");
  const std::string data = ReadFileBytes(temp.path() / "mini.sbin");
  ASSERT_EQ(idx.size(), 8192u);
  EXPECT_EQ(idx.substr(0, 8), std::string("\x0C"
                                          "a\x00\x00\x0C"
                                          "b\x00\x05",
                                          8));
  EXPECT_EQ(static_cast<uint8_t>(idx[8]), 0xFF);
  EXPECT_EQ(data.size(), 76u);
  EXPECT_EQ(data, std::string(f.GlyphBuffer.begin() + kMini, f.GlyphBuffer.begin() + kMini + 76));
}

}  // namespace
}  // namespace panelcraft

namespace panelcraft {
namespace {

TEST(FontFaces, ListIsSortedAndAMissingChineseFaceIsSubstituted) {
  const std::vector<std::string> faces = InstalledFaceNames();
  EXPECT_TRUE(std::is_sorted(faces.begin(), faces.end()));
  EXPECT_EQ(std::adjacent_find(faces.begin(), faces.end()), faces.end());
  EXPECT_NE(std::find(faces.begin(), faces.end(), testing::kTestFace), faces.end());
  EXPECT_EQ(std::find(faces.begin(), faces.end(), Gbk("宋体")), faces.end());

  // "宋体" is not installed: it draws real Chinese glyphs (not one missing-glyph box).
  Trom rom;
  DrawingSurface surface;
  Tmakefont f{rom, surface};
  f.DotSize = 24;
  f.FitChineseFont();
  std::vector<std::string> glyphs;
  for (const char* ch : {"\xB0\xA1", "\xB1\xA1", "\xB9\xFA"}) {
    f.DataPos = 0;
    f.PackGlyph(ch);
    glyphs.emplace_back(f.GlyphBuffer.begin(), f.GlyphBuffer.begin() + 72);
    EXPECT_TRUE(testing::HasInk(f.GlyphBuffer.data(), 72));
  }
  EXPECT_NE(glyphs[0], glyphs[1]);
  EXPECT_NE(glyphs[1], glyphs[2]);
}

}  // namespace
}  // namespace panelcraft
