// catalogue, ccode and format through panelcraft-cli.
#include <gtest/gtest.h>

#include "app/text.h"
#include "support/cli_run.h"

namespace panelcraft {
namespace {

using test::RunCli;

class LangCliTest : public ::testing::Test {
 protected:
  test::CliResult Run(const std::string& arguments, const std::string& input = "") {
    return RunCli(dir_.path(), "--home '" + (dir_ / "home").string() + "' " + arguments, input);
  }
  test::TempDir dir_;
};

TEST_F(LangCliTest, Catalogue) {
  auto r = Run("catalogue");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_NE(r.out.find("0 基本绘图指令\n  清屏:CLS\n  空心方框:BOX\n"), std::string::npos);
  EXPECT_NE(r.out.find("8 表格相关指令\n9 系统相关指令\n"), std::string::npos);

  r = Run("catalogue DS12");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "name: DS12\nbox kind: 2 (move only)\ncategory: 1 汉字显示指令\n"
            "syntax: 显示12点阵:DS12(x1,y1,str,c,lx);\ndefault: DS12(0,0,'要显示的字符串',1)\nparameters:\n"
            "  x1 (X): 左上角x坐标\n  y1 (Y): 左上角y坐标\n  str (str): 要显示的字符串\n  c (c): 颜色号\n"
            "  lx (X): 限制的右边框X位置,可省\nremark: \n");
  EXPECT_NE(Run("catalogue S5").out.find("name: Sn\n"), std::string::npos);
  r = Run("catalogue cls");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no catalogue entry"), std::string::npos);
}

TEST_F(LangCliTest, CcodeTakesUtf8OrGbkAndWritesGbkFiles) {
  auto r = Run("ccode --hex", "DS16(0,0,'中a',1);\n");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "LmxSend(\"DS16(0,0,'\\xD6\\xD0\" \"a',1);\"); //DS16(0,0,'中a',1);\nLmxSend(\"\\r\\n\");\n");
  // GBK input gives the same.
  EXPECT_EQ(Run("ccode --hex", Gbk("DS16(0,0,'中a',1);\n")).out, r.out);

  r = Run("ccode --arduino --single-line", "CLS(0);\nSBC(1);\n");
  EXPECT_EQ(r.out, "Serial.print(\"CLS(0);SBC(1);\\r\\n\");\n");

  test::WriteFile(dir_ / "in.txt", "DS12(0,0,'中',1);");
  r = Run("ccode -o '" + (dir_ / "out.c").string() + "' '" + (dir_ / "in.txt").string() + "'");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::ReadFile(dir_ / "out.c"), Gbk("LmxSend(\"DS12(0,0,'中',1);\");\r\nLmxSend(\"\\r\\n\");\r\n"));

  r = Run("ccode '" + (dir_ / "missing.txt").string() + "'");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("missing.txt"), std::string::npos);
}

TEST_F(LangCliTest, Format) {
  const auto r = Run("format", "BOX(0, 0,9,9,1); DS12(0,0,'a; b',1);");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "BOX(0,0,9,9,1);\nDS12(0,0,'a; b',1);\n");
}

}  // namespace
}  // namespace panelcraft
