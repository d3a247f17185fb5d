// panelcraft-cli fonts … and make-base, run as a user runs them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>

#include "app/files.h"
#include "fonts/font_test_support.h"

namespace panelcraft {
namespace {

struct Result {
  int code;
  std::string out;
};

class FontsCliTest : public ::testing::Test {
 protected:
  Result Cli(const std::string& arguments) {
    const char* cli = std::getenv("PANELCRAFT_CLI");
    if (!cli) return {-1, "PANELCRAFT_CLI is not set"};
    const std::string command = std::string(cli) + " --home '" + home.path().string() + "' " + arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    Result result{-1, {}};
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
    const int status = pclose(pipe);
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
  }
  test::TempDir home;
};

TEST_F(FontsCliTest, SetSummaryGenerate) {
  ASSERT_EQ(Cli("project new demo").code, 0);
  Result r = Cli("fonts generate");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("需要设置完成上面的8项内容"), std::string::npos);
  for (const char* n : {"24", "32", "48", "64"}) {
    ASSERT_EQ(Cli(std::string("fonts set ") + n + " asc '" + testing::kTestFace + "'").code, 0);
    ASSERT_EQ(Cli(std::string("fonts set ") + n + " hz 宋体 --chars '啊薄'").code, 0);
  }
  EXPECT_EQ(Cli("fonts set 32 asc X --fixed --set list --chars abc").code, 0);
  r = Cli("fonts set 64 hz 宋体 --set gb2312");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("64点阵暂不支持全字库，请选择小字库(部分汉字)"), std::string::npos);
  EXPECT_EQ(Cli("fonts set 20 hz 宋体").code, 2);
  EXPECT_EQ(Cli("fonts gbk16 on").code, 0);

  r = Cli("fonts summary");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("zt24hz   字体:宋体  部分汉字(小字库)\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("zt32asc  字体:X  部分ASC字符 强制等宽\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("gbk16      on\n"), std::string::npos);
  EXPECT_NE(r.out.find("generate   enabled\n"), std::string::npos);

  r = Cli("fonts generate");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_NE(r.out.find("开始生成64点阵的汉字\n"), std::string::npos);
  EXPECT_NE(r.out.find("汉字点阵生成完成！"), std::string::npos);
  const auto temp = home.path() / "temp";
  EXPECT_EQ(FileSizeOrMinusOne(temp / "mini.idx"), 8192);
  EXPECT_GT(FileSizeOrMinusOne(temp / "mini.sbin"), 0);
  EXPECT_EQ(FileSizeOrMinusOne(temp / "hz16.sbin"), 770112);
}

TEST_F(FontsCliTest, FacesAndMakeBase) {
  Result r = Cli("fonts faces");
  EXPECT_EQ(r.code, 0);
  EXPECT_NE(r.out.find("WenQuanYi Zen Hei\n"), std::string::npos);
  EXPECT_NE(r.out.find("文泉驿正黑\n"), std::string::npos);
  const auto file = home.path() / "base.bin";
  r = Cli("make-base '" + file.string() + "'");
  EXPECT_EQ(r.code, 0) << r.out;
  EXPECT_EQ(FileSizeOrMinusOne(file), 0x76000);
  // A new home got the bundled base data.
  EXPECT_EQ(FileSizeOrMinusOne(home.path() / "default.bin"), 0x76000);
  r = Cli("make-base '" + file.string() + "' --font12 /nonexistent.pcf");
  EXPECT_EQ(r.code, 1);
}

}  // namespace
}  // namespace panelcraft
