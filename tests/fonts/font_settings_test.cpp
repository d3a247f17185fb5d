#include "fonts/font_settings.h"

#include <gtest/gtest.h>

#include "app/text.h"
#include "fonts/font_test_support.h"
#include "store/hash_table.h"

namespace panelcraft {
namespace {

TEST(FontSettings, KeysJoinKindSizeAndField) {
  EXPECT_EQ(FontKey("hz", 32, "zt"), "hz32zt");
  EXPECT_EQ(FontKey("asc", 64, "memo"), "asc64memo");
}

TEST(FontSettings, NewProjectShowsEveryFaceUnset) {
  THashTable store;
  const FontSummary summary = RefreshSummary(store);
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(summary.Chinese[i], Gbk("未设置(需要设置才能生成点阵)"));
    EXPECT_EQ(summary.Ascii[i], Gbk("未设置(需要设置才能生成点阵)"));
  }
  EXPECT_TRUE(summary.AnyFaceUnset);
  EXPECT_FALSE(summary.GenerateEnabled);
  EXPECT_FALSE(summary.Gbk16Checked);
}

TEST(FontSettings, ConfirmingAtOnceStoresTheDefaults) {
  THashTable store;
  test::RecordingMessages messages;
  for (int32_t n : kSmallFontSizes) {
    ChineseFontDialog hz;
    hz.Load(store, n);
    EXPECT_TRUE(hz.ListEnabled());
    EXPECT_TRUE(hz.Confirm(store, messages));
    AsciiFontDialog asc;
    asc.Load(store, n);
    EXPECT_FALSE(asc.ListEnabled());
    asc.Confirm(store);
  }
  EXPECT_EQ(store.Value("hz24zt"), Gbk("宋体"));
  EXPECT_EQ(store.Value("hz24bf"), "0");
  EXPECT_EQ(store.Value("hz24memo"), "");
  EXPECT_EQ(store.Value("asc64dk"), "0");
  const FontSummary summary = RefreshSummary(store);
  EXPECT_EQ(summary.Chinese[0], Gbk("字体:宋体  部分汉字(小字库)"));
  EXPECT_EQ(summary.Ascii[3], Gbk("字体:宋体  全部96个ASC字符"));
  EXPECT_TRUE(summary.GenerateEnabled);
  EXPECT_TRUE(messages.Shown.empty());
  AsciiFontDialog asc;
  asc.Load(store, 48);
  EXPECT_EQ(asc.Heading(), Gbk("当前设置48点阵英文字符"));
}

TEST(FontSettings, SummaryTexts) {
  struct Case { std::string key, value; size_t index; bool chinese; std::string text; };
  const Case cases[] = {
      {"hz32bf", "1", 1, true, "字体:F  GB2312汉字(简体全字库)"},
      {"hz32bf", "2", 1, true, "字体:F  GBK汉字(简繁体全字库)"},
      {"hz32bf", "7", 1, true, "字体:F  GBK汉字(简繁体全字库)"},
      {"hz32bf", "x", 1, true, "字体:F  部分汉字(小字库)"},
      {"asc24bf", "1", 0, false, "字体:F  部分ASC字符"},
      {"asc24dk", "1", 0, false, "字体:F  全部96个ASC字符 强制等宽"},
      {"asc24dk", "2", 0, false, "字体:F  全部96个ASC字符"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key + "=" + c.value);
    THashTable store;
    store.Put("hz32zt", "F");
    store.Put("asc24zt", "F");
    store.Put(c.key, c.value);
    const FontSummary summary = RefreshSummary(store);
    EXPECT_EQ(c.chinese ? summary.Chinese[c.index] : summary.Ascii[c.index], Gbk(c.text));
    EXPECT_FALSE(summary.GenerateEnabled);  // six faces are still unset
  }
}

TEST(FontSettings, FullFontsThatCannotBeMadeAreRefused) {
  struct Case { int32_t size, choice; std::string message; };
  const Case cases[] = {
      {64, 1, "64点阵暂不支持全字库，请选择小字库(部分汉字)"},
      {64, 2, "64点阵暂不支持全字库，请选择小字库(部分汉字)"},
      {48, 2, "48点阵暂不支持GBK全字库，请选择GB2312全字库或小字库(部分汉字)"},
      {48, 5, "48点阵暂不支持GBK全字库，请选择GB2312全字库或小字库(部分汉字)"},
      {48, 1, ""},
      {32, 2, ""},
      {64, 0, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.size) + "/" + std::to_string(c.choice));
    THashTable store;
    test::RecordingMessages messages;
    ChineseFontDialog dialog;
    dialog.Load(store, c.size);
    dialog.Face = testing::kTestFace;
    dialog.Choice = c.choice;
    dialog.List = Gbk("啊");
    EXPECT_EQ(dialog.Confirm(store, messages), c.message.empty());
    if (c.message.empty()) {
      EXPECT_TRUE(messages.Shown.empty());
      EXPECT_EQ(store.IntValue(FontKey("hz", c.size, "bf")), c.choice);
      EXPECT_EQ(store.Value(FontKey("hz", c.size, "memo")), Gbk("啊"));
    } else {
      EXPECT_EQ(messages.Shown, std::vector<std::string>{Gbk(c.message)});
      EXPECT_EQ(store.Count(), 0u);  // nothing written
    }
  }
}

TEST(FontSettings, DialogsShowWhatTheStoreHolds) {
  THashTable store;
  store.Put("hz48zt", "X");
  store.Put("hz48bf", "9");
  store.Put("hz48memo", Gbk("啊\r\n薄"));
  store.Put("asc48dk", "1");
  store.Put("asc48bf", "1");
  ChineseFontDialog hz;
  hz.Load(store, 48);
  EXPECT_EQ(hz.Face, "X");
  EXPECT_EQ(hz.Choice, 9);
  EXPECT_FALSE(hz.ListEnabled());
  EXPECT_EQ(hz.List, Gbk("啊\r\n薄"));
  AsciiFontDialog asc;
  asc.Load(store, 48);
  EXPECT_EQ(asc.Face, Gbk("宋体"));
  EXPECT_EQ(asc.FixedWidth, 1);
  EXPECT_TRUE(asc.ListEnabled());
}

TEST(FontSettings, Gbk16BoxStoresFourOrZero) {
  THashTable store;
  SetGbk16(store, true);
  EXPECT_EQ(store.Value("hz16bf"), "4");
  EXPECT_TRUE(RefreshSummary(store).Gbk16Checked);
  SetGbk16(store, false);
  EXPECT_EQ(store.Value("hz16bf"), "0");
  EXPECT_FALSE(RefreshSummary(store).Gbk16Checked);
  store.Put("hz16bf", "1");
  EXPECT_FALSE(RefreshSummary(store).Gbk16Checked);
}

}  // namespace
}  // namespace panelcraft
