// pages list|show|store|import-old through panelcraft-cli, on a project it
// makes itself.
#include <gtest/gtest.h>

#include "app/text.h"
#include "support/cli_run.h"

namespace panelcraft {
namespace {

class PagesCliTest : public ::testing::Test {
 protected:
  PagesCliTest() {
    const auto r = Run("project new demo --file '" + (dir_ / "demo.lmx").string() + "'");
    EXPECT_EQ(r.code, 0) << r.err;
  }
  test::CliResult Run(const std::string& arguments, const std::string& input = "") {
    return test::RunCli(dir_.path(), "--home '" + (dir_ / "home").string() + "' " + arguments, input);
  }
  test::TempDir dir_;
};

TEST_F(PagesCliTest, StoreShowAndList) {
  auto r = Run("pages store 3 --name 主:菜单", "CLS(0);\nDS16(0,0,'主菜单',1);\n");
  ASSERT_EQ(r.code, 0) << r.err;
  r = Run("pages show 3");
  EXPECT_EQ(r.out, "page 3\nname: 主:菜单\nbytes: 28 of 1023\nCLS(0);\nDS16(0,0,'主菜单',1);\n\n");
  r = Run("store get pgcn2");
  EXPECT_EQ(r.out, "CLS(0);\r\nDS16(0,0,'主菜单',1);\r\n\n");  // kept with CR LF in the store
  EXPECT_EQ(Run("pages list").out, "3:主:菜单 (28 bytes)\n");
  EXPECT_EQ(Run("pages list --all").out.substr(0, 26), "1: (0 bytes)\n2: (0 bytes)\n");

  r = Run("pages store 2", std::string(1024, 'A'));
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("保存失败!语句超过1024字节,请减少!"), std::string::npos);
  // Page 1 leaves room for "U2;" while the baud rate is 9600.
  ASSERT_EQ(Run("project set BAUD 9600").code, 0);
  EXPECT_EQ(Run("pages store 1", std::string(1021, 'A')).code, 1);
  EXPECT_EQ(Run("pages store 1", std::string(1020, 'A')).code, 0);
  EXPECT_EQ(Run("pages store 0").code, 2);
}

TEST_F(PagesCliTest, ImportOld) {
  test::WriteFile(dir_ / "old" / "Page1.str", "x\r\n" + Gbk("旧页") + "\r\nCLS(1);|R|ASBC(2);\r\n");
  test::WriteFile(dir_ / "old" / "Page4.str", "x\r\n");
  const std::string path = "'" + (dir_ / "old" / "Page1.str").string() + "'";
  auto r = Run("pages import-old --yes '" + (dir_ / "old" / "Pag1.str").string() + "'");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("no such file"), std::string::npos);
  r = Run("pages import-old " + path);
  EXPECT_EQ(r.code, 2);  // the question needs an answer
  r = Run("pages import-old --yes " + path);
  EXPECT_EQ(r.code, 1);  // page 4 was left out
  EXPECT_EQ(r.out, "imported pages: 1\n");
  EXPECT_NE(r.err.find("Page4.str"), std::string::npos);
  EXPECT_EQ(Run("pages list").out, "1:旧页 (14 bytes)\n");
}

}  // namespace
}  // namespace panelcraft
