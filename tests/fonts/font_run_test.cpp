#include "fonts/font_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/global.h"
#include "app/text.h"
#include "fonts/font_settings.h"
#include "fonts/font_test_support.h"

namespace panelcraft {
namespace {

class FontRunTest : public ::testing::Test {
 protected:
  FontRunTest() {
    g.Start();
    for (int32_t n : kSmallFontSizes) {
      g.Store.Put(FontKey("hz", n, "zt"), testing::kTestFace);
      g.Store.Put(FontKey("asc", n, "zt"), testing::kTestFace);
      g.Store.Put(FontKey("hz", n, "bf"), "0");
    }
  }
  bool Run() {
    log.clear();
    progress.clear();
    messages.Shown.clear();
    FontRunOutput output;
    output.Log = [this](const std::string& line) { log.push_back(line); };
    output.Progress = [this](int percent) { progress.push_back(percent); };
    return RunFontGeneration(g, output);
  }
  int64_t SizeOf(const char* name) const { return FileSizeOrMinusOne(g.Workspace() / name); }
  std::string Read(const char* name) const { return ReadFileBytes(g.Workspace() / name); }
  // The number of entries of a table of "mini.idx" and how many are Chinese.
  std::pair<int, int> Entries(const std::string& idx, int table) const {
    int all = 0, chinese = 0;
    for (; all < 512; ++all) {
      const uint8_t first = static_cast<uint8_t>(idx[static_cast<size_t>(table * 2048 + all * 4)]);
      if (first == 0xFF) break;
      if (first >= 0x81) ++chinese;
    }
    return {all, chinese};
  }
  bool Logged(const std::string& utf8) const { return std::count(log.begin(), log.end(), Gbk(utf8)) > 0; }

  test::TempDir home;
  test::RecordingMessages messages;
  Tglobal g{home.path(), messages};
  std::vector<std::string> log;
  std::vector<int> progress;
};

TEST_F(FontRunTest, SmallFontsWithEmptyListsHoldOnlyAscii) {
  ASSERT_TRUE(Run());
  const std::string idx = Read("mini.idx");
  ASSERT_EQ(idx.size(), 8192u);
  for (int table = 0; table < 4; ++table) EXPECT_EQ(Entries(idx, table), (std::pair{95, 0})) << table;
  EXPECT_GT(SizeOf("mini.sbin"), 0);
  for (const char* name : {"hz16.sbin", "hz24.sbin", "hz32.sbin", "hz48.sbin"}) EXPECT_EQ(SizeOf(name), -1);
  const std::vector<std::string> first(log.begin(), log.begin() + 4);
  EXPECT_EQ(first, (std::vector<std::string>{Gbk("开始生成24点阵的asc字符"), Gbk("使用字体:") + testing::kTestFace,
                                             first[2], Gbk("生成完成")}));
  EXPECT_EQ(first[2].rfind(Gbk("自动使用参数: 宽:"), 0), 0u);
  EXPECT_TRUE(Logged("开始生成64点阵的汉字"));
  EXPECT_EQ(log.size(), 8u * 4);  // four lines for each of the eight parts
  EXPECT_EQ(progress, (std::vector<int>{0, 100, 0, 100, 0, 100, 100, 100, 100, 100}));
  EXPECT_EQ(messages.Shown, std::vector<std::string>{Gbk("汉字点阵生成完成！")});
}

TEST_F(FontRunTest, FullFontsReplaceTheSmallChineseFontOfTheirSize) {
  g.Store.Put("hz24bf", "1");
  g.Store.Put("hz24memo", Gbk("啊薄"));
  g.Store.Put("hz32memo", Gbk("啊薄"));
  g.Store.Put("hz16bf", "4");
  g.Store.Put("hz16memo", Gbk("啊"));
  ASSERT_TRUE(Run());
  const std::string idx = Read("mini.idx");
  EXPECT_EQ(Entries(idx, 0), (std::pair{95, 0}));  // the 24-dot list is not used
  EXPECT_EQ(Entries(idx, 1), (std::pair{97, 2}));
  EXPECT_EQ(SizeOf("hz24.sbin"), 588816);
  EXPECT_EQ(SizeOf("hz16.sbin"), 770112);
  EXPECT_EQ(std::count(log.begin(), log.end(), Gbk("开始生成24点阵的汉字")), 1);
  // The 16-dot font is drawn with "宋体" whatever the settings say.
  const auto at16 = std::find(log.begin(), log.end(), Gbk("开始生成16点阵的汉字"));
  ASSERT_NE(at16, log.end());
  EXPECT_EQ(*(at16 + 1), Gbk("使用字体:宋体"));
  EXPECT_LT(at16 - log.begin(), std::find(log.begin(), log.end(), Gbk("开始生成24点阵的汉字")) - log.begin());
  EXPECT_EQ(progress.back(), 100);
  // 32 and 64 dots, "mini" written, the last row of each full font, after each C(n)
  EXPECT_EQ(std::count(progress.begin(), progress.end(), 100), 2 + 1 + 2 + 4);
  EXPECT_EQ(messages.Shown, std::vector<std::string>{Gbk("汉字点阵生成完成！")});
}

TEST_F(FontRunTest, LineBreaksInAListChangeNothing) {
  g.Store.Put("hz32memo", Gbk("啊薄国"));
  g.Store.Put("asc32bf", "1");
  g.Store.Put("asc32memo", "ab");
  ASSERT_TRUE(Run());
  const std::string idx = Read("mini.idx"), data = Read("mini.sbin");
  g.Store.Put("hz32memo", Gbk("啊\r\n薄\r\n\r\n国\r\n"));
  g.Store.Put("asc32memo", "a\r\nb");
  ASSERT_TRUE(Run());
  EXPECT_EQ(Read("mini.idx"), idx);
  EXPECT_EQ(Read("mini.sbin"), data);
  EXPECT_EQ(Entries(idx, 1), (std::pair{5, 3}));
}

TEST_F(FontRunTest, FullFontThatCannotBeMadeStopsTheRunBeforeAnything) {
  g.Store.Put("hz48bf", "2");
  EXPECT_FALSE(Run());
  const std::string refusal = Gbk("48点阵暂不支持GBK全字库，请选择GB2312全字库或小字库(部分汉字)");
  EXPECT_EQ(messages.Shown, std::vector<std::string>{refusal});
  EXPECT_EQ(log, std::vector<std::string>{refusal});
  EXPECT_EQ(SizeOf("mini.idx"), -1);
  EXPECT_EQ(SizeOf("mini.sbin"), -1);
}

TEST_F(FontRunTest, LimitsMetAreLoggedAndShown) {
  std::string list;
  for (int n = 0; n < 450; ++n) {
    list += static_cast<char>(0xB0 + n / 94);
    list += static_cast<char>(0xA1 + n % 94);
  }
  g.Store.Put("hz24memo", list);
  ASSERT_TRUE(Run());
  const std::string report = Gbk("24点阵的字符表已满(512项)，后面的33个字符没有生成");
  EXPECT_TRUE(std::count(log.begin(), log.end(), report) == 1);
  EXPECT_EQ(messages.Shown, (std::vector<std::string>{report, Gbk("汉字点阵生成完成！")}));
  EXPECT_EQ(Entries(Read("mini.idx"), 0), (std::pair{512, 417}));
  EXPECT_EQ(Entries(Read("mini.idx"), 1), (std::pair{95, 0}));
}

TEST_F(FontRunTest, AFileThatCannotBeWrittenStopsTheRun) {
  std::filesystem::create_directories(g.Workspace() / "mini.sbin");  // a folder in the file's place
  EXPECT_FALSE(Run());
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_NE(messages.Shown[0].find("mini.sbin"), std::string::npos);
}

}  // namespace
}  // namespace panelcraft
