#include "app/text.h"

#include <gtest/gtest.h>

namespace panelcraft {
namespace {

TEST(IntOrZero, ReadsTheIntegerFormsAndZeroForAnythingElse) {
  const struct {
    const char* text;
    int32_t value;
  } cases[] = {
      {"24", 24},         {" 16", 16},         {"\t7", 7},           {"+5", 5},
      {"-5", -5},         {"0", 0},            {"007", 7},           {"$10", 16},
      {"x1F", 31},        {"X1f", 31},         {"0x10", 16},         {"0XfF", 255},
      {"-$10", -16},      {"2147483647", 2147483647},               {"-2147483648", INT32_MIN},
      {"2147483648", 0},  {"-2147483649", 0},  {"99999999999999999999", 0},
      {"$7FFFFFFF", 2147483647},               {"$80000000", 0},     {"$100000000", 0},
      {"", 0},            {"   ", 0},          {"+", 0},             {"-", 0},
      {"$", 0},           {"0x", 0},           {"x", 0},             {"12a", 0},
      {"16 ", 0},         {"1 2", 0},          {"abc", 0},           {"0x1G", 0},
      {"1.5", 0},         {"--1", 0},          {"00x1", 0},          {"\xB0\xA1", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(IntOrZero(c.text), c.value) << '"' << c.text << '"';
}

TEST(Gbk, ConvertsBothWaysAndMarksWhatHasNoForm) {
  // "文件格式不对" in code page 936.
  const std::string gbk = "\xCE\xC4\xBC\xFE\xB8\xF1\xCA\xBD\xB2\xBB\xB6\xD4";
  EXPECT_EQ(Gbk("文件格式不对"), gbk);
  EXPECT_EQ(GbkToUtf8(gbk), "文件格式不对");
  EXPECT_EQ(GbkToUtf8("a\xB0"), "a\xEF\xBF\xBD");  // a lone lead byte at the end
  EXPECT_FALSE(TryUtf8ToGbk("\xF0\x9F\x98\x80").has_value());
  EXPECT_EQ(Utf8ToGbk("x\xF0\x9F\x98\x80y"), "x?y");
  EXPECT_EQ(Utf8ToGbk("\xE2\x82\xAC"), "\x80");  // the euro sign of code page 936
}

TEST(SplitLines, AcceptsEveryLineEnd) {
  using Lines = std::vector<std::string>;
  EXPECT_EQ(SplitLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitLines(""), Lines{});
  EXPECT_EQ(SplitLines("\n"), (Lines{""}));
}

TEST(CutGbk, NeverSplitsATwoByteCharacter) {
  EXPECT_EQ(CutGbk("ab\xB0\xA1", 3), "ab");
  EXPECT_EQ(CutGbk("ab\xB0\xA1", 4), "ab\xB0\xA1");
  EXPECT_EQ(CutGbk("\xB0\xA1x", 1), "");
  EXPECT_EQ(ReplaceAll("aXbXX", "X", "yz"), "ayzbyzyz");
  EXPECT_EQ(ReplaceAll("abc", "", "z"), "abc");
}

}  // namespace
}  // namespace panelcraft
