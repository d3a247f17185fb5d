// The C code generator's conversion in both plans, both Chinese modes and the
// single-line option.
#include "lang/c_code.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/text.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

TEST(ConvertLine, Cases) {
  const std::string zhong = Gbk("中");  // D6 D0
  struct Case {
    std::string text;
    ChineseMode mode;
    std::string body;
  } cases[] = {
      {"DS12(0,0,'ab',1);", ChineseMode::Gbk, "DS12(0,0,'ab',1);"},
      {"DS12(0,0,'a\\\\b',1);", ChineseMode::Gbk, "DS12(0,0,'a\\\\\\\\b',1);"},  // each backslash doubled
      {"DS12(0,0,'say \"hi\"',1);", ChineseMode::Gbk, "DS12(0,0,'say \\\"hi\\\"',1);"},
      // Outside single quotes too: the literal must not end or escape early.
      {"X\"Y\\", ChineseMode::Gbk, "X\\\"Y\\\\"},
      {"\tCLS(0);\r\n", ChineseMode::Gbk, "CLS(0);"},  // control bytes dropped
      {"'" + zhong + "'", ChineseMode::Gbk, "'" + zhong + "'"},
      {"'" + zhong + "'", ChineseMode::HexEscape, "'\\xD6\\xD0'"},
      // A hex digit after an escape starts a new literal; other bytes do not.
      {zhong + "a1F", ChineseMode::HexEscape, "\\xD6\\xD0\" \"a1F"},
      {zhong + "9", ChineseMode::HexEscape, "\\xD6\\xD0\" \"9"},
      {zhong + "g,", ChineseMode::HexEscape, "\\xD6\\xD0g,"},
      {zhong + "\r\nB", ChineseMode::HexEscape, "\\xD6\\xD0\" \"B"},
      {zhong + zhong, ChineseMode::HexEscape, "\\xD6\\xD0\\xD6\\xD0"},
      {"\xFF\x80", ChineseMode::HexEscape, "\\xFF\\x80"},
      {"", ChineseMode::HexEscape, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ConvertLine(c.text, c.mode), c.body);
  }
}

TEST(ConvertToC, LinePerCallAndAClosingLineBreak) {
  EXPECT_EQ(ConvertToC("DS12(0,0,'ab',1);", CCodePlan::PlainC, ChineseMode::Gbk, false),
            "LmxSend(\"DS12(0,0,'ab',1);\");\r\n"
            "LmxSend(\"\\r\\n\");");
  EXPECT_EQ(ConvertToC("CLS(0);\r\n\r\nSBC(1);\r\n", CCodePlan::Arduino, ChineseMode::Gbk, false),
            "Serial.print(\"CLS(0);\");\r\n"
            "Serial.print(\"\");\r\n"
            "Serial.print(\"SBC(1);\");\r\n"
            "Serial.print(\"\\r\\n\");");
  EXPECT_EQ(ConvertToC("", CCodePlan::PlainC, ChineseMode::Gbk, false), "LmxSend(\"\\r\\n\");");
}

TEST(ConvertToC, HexModeAddsTheInputLineAsComment) {
  const std::string line = Gbk("DS16(0,0,'中',1);");
  EXPECT_EQ(ConvertToC(line + "\r\nPS(1,1,1);\\", CCodePlan::PlainC, ChineseMode::HexEscape, false),
            "LmxSend(\"DS16(0,0,'\\xD6\\xD0',1);\"); //" + line + "\r\n" +
                // A comment never ends in "\": C would join the next line to it.
                "LmxSend(\"PS(1,1,1);\\\\\"); //PS(1,1,1);\\.\r\n"
                "LmxSend(\"\\r\\n\");");
}

TEST(ConvertToC, SingleLineRunsEverythingTogether) {
  EXPECT_EQ(ConvertToC("CLS(0);\r\nBOX(0,0,1,1,1);\nSBC(2);", CCodePlan::PlainC, ChineseMode::Gbk, true),
            "LmxSend(\"CLS(0);BOX(0,0,1,1,1);SBC(2);\\r\\n\");");
  EXPECT_EQ(ConvertToC(Gbk("'中'"), CCodePlan::Arduino, ChineseMode::HexEscape, true),
            "Serial.print(\"'\\xD6\\xD0'\\r\\n\");");
}

// The generated calls, compiled by the C compiler, send exactly the
// statement bytes (and the final CR LF) in every mode and plan.
TEST(ConvertToC, CompiledOutputSendsTheStatementBytes) {
  if (std::system("cc --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no C compiler";
  const std::string statements = Gbk("DS16(0,0,'中a\\b\\'c\"d;1F',1);PS(\"\\x41\\\",1,1);'汉9'");
  const test::TempDir dir;
  for (const ChineseMode mode : {ChineseMode::Gbk, ChineseMode::HexEscape}) {
    for (const bool single : {false, true}) {
      SCOPED_TRACE(static_cast<int>(mode) * 2 + single);
      std::string source =
          "#include <stdio.h>\n"
          "static void LmxSend(const char* s) { fputs(s, stdout); }\n"
          "int main(void) {\n" +
          ConvertToC(statements, CCodePlan::PlainC, mode, single) + "\nreturn 0; }\n";
      test::WriteFile(dir / "t.c", source);
      const std::string build = "cc -w -o " + (dir / "t").string() + " " + (dir / "t.c").string() + " && " +
                                (dir / "t").string() + " > " + (dir / "out").string();
      ASSERT_EQ(std::system(build.c_str()), 0) << source;
      EXPECT_EQ(test::ReadFile(dir / "out"), statements + "\r\n") << source;
    }
  }
}

}  // namespace
}  // namespace panelcraft
