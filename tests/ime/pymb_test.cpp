// The input-method table: header, key layout, code entries, character
// groups, first-letter index, error listing and the size limit.
#include <gtest/gtest.h>

#include "app/text.h"
#include "ime/pymb.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

int U8(const std::string& b, size_t at) { return static_cast<unsigned char>(b[at]); }
int U16(const std::string& b, size_t at) { return U8(b, at) | U8(b, at + 1) << 8; }
uint32_t U32(const std::string& b, size_t at) { return static_cast<uint32_t>(U16(b, at) | U16(b, at + 2) << 16); }

TEST(ImeTableTest, DefaultsBuild) {
  ImeTableBuilder builder;
  const auto r = builder.Build(DefaultKeyLayoutText(), BuiltInCodeTable());
  ASSERT_TRUE(r.Ok);
  EXPECT_TRUE(r.ErrorLines.empty());
  const std::string& b = r.Bytes;
  EXPECT_EQ(b.substr(0, 5), std::string("PYU\xAA\x01", 5));
  EXPECT_EQ(U16(b, 5), static_cast<int>(b.size()));
  EXPECT_EQ(b.substr(7, 9), std::string(9, '\xFF'));
  // Key rectangles: key 0 and key 52; key 26 has no "#P" line.
  EXPECT_EQ(U16(b, 16), 17);
  EXPECT_EQ(U16(b, 16 + 6), 116);
  EXPECT_EQ(U16(b, 16 + 8 * 52 + 4), 221);
  EXPECT_EQ(b.substr(16 + 8 * 26, 8), std::string(8, '\xFF'));
  // Key characters: state 00 key 0 "a", state 03 key 2 "、", state 04 key 3 "\".
  EXPECT_EQ(b.substr(528, 2), std::string("\0a", 2));
  EXPECT_EQ(b.substr(528 + 64 * 3 + 4, 2), Gbk("、"));
  EXPECT_EQ(b.substr(528 + 64 * 4 + 6, 2), std::string("\0\\", 2));
  EXPECT_EQ(b.substr(528 + 64 * 3 + 62, 2), std::string("\0"
                                                        "0",
                                                        2));
  EXPECT_EQ(b.substr(848, 176), std::string(176, '\xFF'));
  // 411 syllables; the first is "a" with the value 1 and its characters
  // right after the entries.
  const int n = 411;
  EXPECT_EQ(U32(b, 1104), 1u);
  EXPECT_EQ(b.substr(1104 + 4, 6), std::string("a\0\0\0\0\0", 6));
  EXPECT_EQ(U16(b, 1104 + 10), 1104 + 13 * n);
  const int firstGroups = U8(b, 1104 + 12);
  EXPECT_EQ(U16(b, 1104 + 13 + 10), 1104 + 13 * n + 12 * firstGroups);
  EXPECT_EQ(b.substr(1104 + 13 * n, 2), Gbk("啊"));
  // "ang": (1 x 32 + 14) x 32 + 7.
  EXPECT_EQ(U32(b, 1104 + 13 * 3), 1479u);
  // First-letter index: a starts at 0, b at 5, and class 32 after every entry.
  EXPECT_EQ(U16(b, 1024), 0);
  EXPECT_EQ(U16(b, 1024 + 2), 0);
  EXPECT_EQ(U16(b, 1024 + 4), 5);
  EXPECT_EQ(U16(b, 1024 + 64), n);
  EXPECT_EQ(b.substr(1090, 14), std::string(14, '\xFF'));
  // The built-in table: 411 lines in alphabetical order, the first "=a=...".
  const auto lines = SplitLines(BuiltInCodeTable());
  ASSERT_EQ(lines.size(), 411u);
  EXPECT_EQ(lines[0].substr(0, 3), "=a=");
  EXPECT_EQ(lines[410].substr(0, 5), "=zuo=");
}

TEST(ImeTableTest, EntriesAndGroups) {
  ImeTableBuilder builder;
  const std::string codes = Gbk("=ni=你b泥呢拟逆腻\r\n=zhuangyuan=状\r\nnot a code line\r\n==ignored\r\n=hao=\r\n");
  const auto r = builder.Build(DefaultKeyLayoutText(), codes);
  ASSERT_TRUE(r.Ok);
  const std::string& b = r.Bytes;
  const size_t chars = 1104 + 13 * 3;
  ASSERT_EQ(b.size(), chars + 12 * 3);
  // In class order: hao (8), ni (14), zhuangyuan (26).
  // "hao" has no characters: no group, its offset where the next begins.
  EXPECT_EQ(b.substr(1104 + 4, 6), std::string("hao\0\0\0", 6));
  EXPECT_EQ(U8(b, 1104 + 12), 0);
  EXPECT_EQ(U16(b, 1104 + 10), static_cast<int>(chars));
  // "ni": 7 characters in two groups, the single byte stored as 00 62.
  EXPECT_EQ(U32(b, 1104 + 13), (14u * 32 + 9));
  EXPECT_EQ(U16(b, 1104 + 13 + 10), static_cast<int>(chars));
  EXPECT_EQ(U8(b, 1104 + 13 + 12), 2);
  EXPECT_EQ(b.substr(chars, 2), Gbk("你"));
  EXPECT_EQ(b.substr(chars + 2, 2), std::string("\0b", 2));
  EXPECT_EQ(b.substr(chars + 12, 2), Gbk("腻"));
  EXPECT_EQ(b.substr(chars + 14, 10), std::string(10, '\0'));
  // "zhuangyuan": longer than six letters, value 0, letters cut to six.
  EXPECT_EQ(U32(b, 1104 + 26), 0u);
  EXPECT_EQ(b.substr(1104 + 26 + 4, 6), "zhuang");
  EXPECT_EQ(U16(b, 1104 + 26 + 10), static_cast<int>(chars + 24));
  EXPECT_EQ(b.substr(chars + 24, 2), Gbk("状"));
}

TEST(ImeTableTest, LinesOutOfClassOrderAreSortedStably) {
  ImeTableBuilder builder;
  const auto r = builder.Build(DefaultKeyLayoutText(), "=bo=1\r\n=a=2\r\n=ba=3\r\n=ai=4\r\n");
  ASSERT_TRUE(r.Ok);
  std::vector<std::string> order;
  for (size_t i = 0; i < 4; ++i) order.push_back(r.Bytes.substr(1104 + 13 * i + 4, 2));
  EXPECT_EQ(order, (std::vector<std::string>{std::string("a\0", 2), "ai", "bo", "ba"}));
  EXPECT_EQ(U16(r.Bytes, 1024 + 4), 2);  // class 2 (b) starts at entry 2
  EXPECT_EQ(U16(r.Bytes, 1024 + 6), 4);
  // Each entry still points at its own characters.
  EXPECT_EQ(r.Bytes.substr(U16(r.Bytes, 1104 + 13 * 2 + 10), 2), std::string("\0"
                                                                             "1",
                                                                             2));
}

TEST(ImeTableTest, KeyLayoutLines) {
  struct Case {
    const char* name;
    std::string layout;
    size_t errors;
    size_t at;             // where to look in the file
    std::string expected;  // bytes there
  } cases[] = {
      {"37-byte state line stored whole, listed once", "#S01#abcdefghijklmnopqrstuvwxyz 00000", 1, 528 + 64 + 62,
       std::string("\0"
                   "0",
                   2)},
      {"short state line listed and ignored", "#S01#abcdefghijklmnopqrstuvwxyz 0000", 1, 528 + 64,
       std::string(64, '\xFF')},
      {"state above 04 ignored", "#S05#abcdefghijklmnopqrstuvwxyz 00000  //x", 0, 848, std::string(176, '\xFF')},
      {"key above 63 ignored", "#P64#1,2,3,4", 0, 16, std::string(512, '\xFF')},
      {"empty third number", "#P02#1,2,,4", 1, 16 + 16, std::string("\1\0\2\0\xFF\xFF\4\0", 8)},
      {"two numbers missing", "#P03#5,", 3, 16 + 24, std::string("\5\0\xFF\xFF\xFF\xFF\xFF\xFF", 8)},
      {"other lines ignored", "S00#x\r\n\r\n#X00#\r\n#S0a#abcdefghijklmnopqrstuvwxyz 00000", 0, 16,
       std::string(1008, '\xFF')},
  };
  for (const Case& c : cases) {
    ImeTableBuilder builder;
    const auto r = builder.Build(c.layout, "");
    ASSERT_TRUE(r.Ok) << c.name;
    EXPECT_EQ(r.ErrorLines.size(), c.errors) << c.name;
    for (const std::string& line : r.ErrorLines) EXPECT_EQ(line, c.layout) << c.name;
    EXPECT_EQ(r.Bytes.substr(c.at, c.expected.size()), c.expected) << c.name;
  }
}

TEST(ImeTableTest, ModeAndKeyMap) {
  // Phone pad in digit mode: a, b, c on 2; d, e, f on 3 ...
  const std::string pad = "#S00#22233344455566677778889999 00000000";
  ImeTableBuilder builder;
  auto r = builder.Build("#T02#\r\n" + pad + "\r\n", "=ad=x\r\n");
  ASSERT_TRUE(r.Ok);
  EXPECT_EQ(U8(r.Bytes, 4), 2);
  EXPECT_EQ(U32(r.Bytes, 1104), 3u * 32 + 4);
  EXPECT_EQ(U16(r.Bytes, 1024 + 2 * 3), 0);  // class of "a" is 3
  EXPECT_EQ(U16(r.Bytes, 1024 + 2 * 4), 1);
  // A "#T" line after the state-00 line changes the mode byte only.
  r = builder.Build("#S00#abcdefghijklmnopqrstuvwxyz 00000  //\r\n#T02#\r\n#T07#\r\n", "=b=x\r\n");
  EXPECT_EQ(U8(r.Bytes, 4), 2);
  EXPECT_EQ(U32(r.Bytes, 1104), 2u);
  // The key map of double-byte keys survives from the build before.
  ImeTableBuilder kept;
  kept.Build("#S00#" + std::string(32, 'c') + "  //", "");
  r = kept.Build("#S00#" + Gbk("中") + std::string(31, 'a') + "  //", "=a=x\r\n");
  EXPECT_EQ(U32(r.Bytes, 1104), 3u);  // key 0 still gives "c"
}

TEST(ImeTableTest, TooLargeTableIsRefusedAndNothingWritten) {
  test::TempDir dir;
  test::RecordingMessages messages;
  test::WriteFile(dir / "pymb.bin", "old");
  std::string codes;
  for (int i = 0; i < 800; ++i) codes += "=a=" + std::string(60, 'x') + "\r\n";  // 800 x (13 + 120) bytes
  ImeTableBuilder builder;
  const auto r = BuildImeTableFile(builder, dir.path(), ImeTexts{DefaultKeyLayoutText(), codes}, messages);
  EXPECT_FALSE(r.Ok);
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_NE(messages.Shown[0].find("65535"), std::string::npos);
  EXPECT_EQ(test::ReadFile(dir / "pymb.bin"), "old");
  // Just below the limit it is written.
  codes.clear();
  const int lines = (65535 - 1104) / 13;
  for (int i = 0; i < lines; ++i) codes += "=a=\r\n";
  const auto ok = BuildImeTableFile(builder, dir.path(), ImeTexts{DefaultKeyLayoutText(), codes}, messages);
  ASSERT_TRUE(ok.Ok);
  EXPECT_EQ(test::ReadFile(dir / "pymb.bin").size(), 1104u + 13u * lines);
}

TEST(ImeTableTest, TextsComeFromTheWorkspaceOrTheDefaults) {
  test::TempDir dir;
  ImeTexts texts = LoadImeTexts(dir.path());
  EXPECT_EQ(texts.Layout, DefaultKeyLayoutText());
  EXPECT_EQ(texts.Codes, BuiltInCodeTable());
  EXPECT_EQ(SplitLines(texts.Layout)[0], Gbk("#S00#abcdefghijklmnopqrstuvwxyz 00000  //中文状态下PY"));
  SaveImeTexts(dir.path(), ImeTexts{"#T02#\r\n", "=a=b\r\n"});
  texts = LoadImeTexts(dir.path());
  EXPECT_EQ(texts.Layout, "#T02#\r\n");
  EXPECT_EQ(texts.Codes, "=a=b\r\n");
}

}  // namespace
}  // namespace panelcraft
