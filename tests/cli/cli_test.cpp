// panelcraft-cli as a user meets it: real processes on a scratch home.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>

#include "support/cli_run.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

using test::ReadFile;
using test::TempDir;

using Result = test::CliResult;  // out: standard output and standard error together

struct Cli {
  TempDir home;
  Result Run(const std::string& args) {
    const char* cli = std::getenv("PANELCRAFT_CLI");
    return test::RunTogether(std::string(cli ? cli : "panelcraft-cli") + " --home '" + home.path().string() + "' " +
                             args);
  }
};

bool Has(const Result& r, const std::string& text) { return r.out.find(text) != std::string::npos; }

TEST(Cli, ProjectLifecycleThroughTheCommandLine) {
  Cli cli;
  const std::string file = (cli.home / "demo.lmx").string();
  EXPECT_TRUE(Has(cli.Run("project info"), "no project is open"));
  EXPECT_EQ(cli.Run("store put pgcn0 'CLS(0);'").code, 1);  // nothing to put it in yet

  ASSERT_EQ(cli.Run("project new 演示 --file " + file).code, 0);
  EXPECT_EQ(cli.Run("project new Second").code, 1);  // one project at a time
  ASSERT_EQ(cli.Run("store put pgcn0 \"CLS(0);DS16(0,0,'你好',15);\"").code, 0);
  EXPECT_EQ(cli.Run("store get pgcn0").out, "CLS(0);DS16(0,0,'你好',15);\n");

  Result r = cli.Run("project set BAUD 256000");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r, "波特率设置不正确,保存失败!"));
  ASSERT_EQ(cli.Run("project set BAUD 9600").code, 0);

  r = cli.Run("project info");
  EXPECT_TRUE(Has(r, "name: 演示"));
  EXPECT_TRUE(Has(r, "baud: 9600 (index 2)"));
  EXPECT_TRUE(Has(r, "pages with statements: 1"));

  ASSERT_EQ(cli.Run("project save").code, 0);
  EXPECT_EQ(cli.Run("project close").code, 2);  // the question needs --save or --discard
  ASSERT_EQ(cli.Run("project close --discard").code, 0);
  EXPECT_FALSE(std::filesystem::exists(cli.home / "temp"));

  ASSERT_EQ(cli.Run("project open " + file).code, 0);
  EXPECT_EQ(cli.Run("store get pgcn0").out, "CLS(0);DS16(0,0,'你好',15);\n");
  EXPECT_TRUE(Has(cli.Run("store list"), "BTL=2"));
}

TEST(Cli, RomBuildAndInfo) {
  Cli cli;
  ASSERT_EQ(cli.Run("project new Demo").code, 0);
  ASSERT_EQ(cli.Run("store put pgcn3 'CLS(0);'").code, 0);
  test::WriteFile(cli.home / "temp/pymb.bin", std::string(10000, 'm'));
  const std::string image = (cli.home / "rom.bin").string();
  Result r = cli.Run("rom build --memory 8 -o " + image);
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(Has(r, "pymb         0x7ED0  (address 0x7ED000)"));
  EXPECT_TRUE(Has(r, "PictureEnd 0x100000"));
  EXPECT_EQ(std::filesystem::file_size(image), 16777216u);
  EXPECT_EQ(ReadFile(image).substr(0xE0000 + 3 * 1024, 8), std::string("CLS(0);\0", 8));

  r = cli.Run("rom info " + image);
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(Has(r, "memory 8 MB"));
  EXPECT_TRUE(Has(r, "pymb         0x7ED000..0x7EFFFF  12288 bytes"));
  // 512 columns of 16 KB: header and pages at the left, the table near the right.
  const size_t bar = r.out.rfind('\n', r.out.size() - 2) + 1;
  const std::string columns = r.out.substr(bar, 512);
  EXPECT_EQ(columns.find_first_not_of("#."), std::string::npos);
  EXPECT_EQ(columns[0], '#');
  EXPECT_EQ(columns[56], '#');  // the page slots at 0xE0000
  EXPECT_EQ(columns[507], '#');
  EXPECT_EQ(columns[508], '.');

  test::WriteFile(cli.home / "temp/pic.sbin", std::string(15 * 1048576, 'p'));
  r = cli.Run("rom build --memory 2");
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r, "存储空间不够，请减少图片数量或全字库种类!"));

  EXPECT_EQ(cli.Run("rom build --memory 3").code, 2);
  EXPECT_EQ(cli.Run("rom").code, 2);
  EXPECT_EQ(cli.Run("nonsense").code, 2);
  EXPECT_EQ(cli.Run("rom info /nonexistent/rom.bin").code, 1);
}

}  // namespace
}  // namespace panelcraft
