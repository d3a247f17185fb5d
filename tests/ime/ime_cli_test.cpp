// ime defaults|build through panelcraft-cli.
#include <gtest/gtest.h>

#include "app/text.h"
#include "support/cli_run.h"

namespace panelcraft {
namespace {

TEST(ImeCliTest, DefaultsAndBuild) {
  test::TempDir dir;
  auto run = [&](const std::string& arguments) {
    return test::RunCli(dir.path(), "--home '" + (dir / "home").string() + "' " + arguments);
  };
  const auto ws = dir / "home" / "temp";
  auto r = run("ime build");  // from the built-in texts
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find('\n')), "错误语句：");
  const std::string built = test::ReadFile(ws / "pymb.bin");
  EXPECT_EQ(r.out, "错误语句：\npymb.bin: " + std::to_string(built.size()) + " bytes\n");

  ASSERT_EQ(run("ime defaults").code, 0);
  EXPECT_EQ(run("ime defaults").code, 2);  // would replace the texts
  ASSERT_EQ(run("ime build").code, 0);
  EXPECT_EQ(test::ReadFile(ws / "pymb.bin"), built);

  // An edited layout: its faulty lines are listed.
  test::WriteFile(ws / "srf.ini", Gbk("#S00#abc\r\n#P01#1,2,,4\r\n"));
  r = run("ime build");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, r.out.find("pymb")), "错误语句：\n#S00#abc\n#P01#1,2,,4\n");
  // A table too large for its 16-bit fields is refused and the old file kept.
  std::string codes;
  for (int i = 0; i < 6000; ++i) codes += "=a=xyzxyz\r\n";
  test::WriteFile(ws / "srf.mb", codes);
  const std::string before = test::ReadFile(ws / "pymb.bin");
  r = run("ime build");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("65535"), std::string::npos);
  EXPECT_EQ(test::ReadFile(ws / "pymb.bin"), before);
}

}  // namespace
}  // namespace panelcraft
