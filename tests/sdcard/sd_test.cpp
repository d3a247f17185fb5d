// The SD card data files through panelcraft-cli: pictures in the SD card
// layout, the ROM upgrade data and the status lines.
#include <gtest/gtest.h>

#include "app/text.h"
#include "support/cli_run.h"
#include "pictures/picture_fixtures.h"

namespace panelcraft {
namespace {

class SdCliTest : public ::testing::Test {
 protected:
  test::CliResult Run(const std::string& arguments) {
    return test::RunCli(dir_.path(), "--home '" + (dir_ / "home").string() + "' " + arguments);
  }
  std::filesystem::path Sd(const std::string& name) { return dir_ / "home" / "sd" / name; }
  test::TempDir dir_;
};

TEST_F(SdCliTest, Pictures) {
  test::WriteFile(Sd("pic/2.jpg"), test::SolidJpeg(3, 1, {0, 0, 0}));
  test::WriteFile(Sd("pic/1.jpg"), test::SolidJpeg(10, 10, {255, 255, 255}));
  test::WriteFile(Sd("pic/logo.jpg"), test::SolidJpeg(1, 1, {0, 0, 0}));
  test::WriteFile(Sd("pic/0.jpg"), test::SolidJpeg(1, 1, {0, 0, 0}));
  auto r = Run("sd pictures list");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "1  1024  1.jpg  10x10\n2  1025  2.jpg  3x1\n3  1026  logo.jpg  1x1\n");
  r = Run("sd status");
  EXPECT_EQ(r.out, "pic.sbin  未生成\nrom.sbin  未生成\n");
  r = Run("sd pictures generate");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "pictures: 3, data: 1026 bytes\n");
  EXPECT_NE(r.err.find("图片生成完成!"), std::string::npos);
  const std::string idx = test::ReadFile(Sd("pic.idx"));
  EXPECT_EQ(idx.substr(0, 8), std::string("\0\x0A\0\x0A\0\x20\0\0", 8));
  EXPECT_EQ(idx.substr(8, 8), std::string("\0\3\0\1\0\x22\0\0", 8));   // 8192 + 512
  EXPECT_EQ(idx.substr(16, 8), std::string("\0\1\0\1\0\x24\0\0", 8));  // 8192 + 1024
  const std::string data = test::ReadFile(Sd("pic.sbin"));
  EXPECT_EQ(data.substr(0, 2), "\xDE\xF7");
  EXPECT_EQ(data.substr(200, 312), std::string(312, '\xFF'));
  EXPECT_EQ(Run("sd status").out, "pic.sbin  已生成,长度:1026字节\nrom.sbin  未生成\n");
  ASSERT_EQ(Run("sd pictures tidy").code, 0);
  EXPECT_TRUE(std::filesystem::exists(Sd("pic/3.jpg")));
}

TEST_F(SdCliTest, RomData) {
  // No display is connected from the CLI: refused unless the size is given.
  auto r = Run("sd rom");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("需要先连接串口屏,才能生成!"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(Sd("rom.sbin")));
  ASSERT_EQ(Run("project new demo --file '" + (dir_ / "demo.lmx").string() + "'").code, 0);
  r = test::RunCli(dir_.path(), "--home '" + (dir_ / "home").string() + "' pages store 2", "CLS(1);");
  ASSERT_EQ(r.code, 0) << r.err;
  r = Run("sd rom --memory 2");
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string rom = test::ReadFile(Sd("rom.sbin"));
  ASSERT_EQ(rom.size(), 2u * 1048576);
  EXPECT_EQ(rom.substr(0xE0000 + 1024, 8), std::string("CLS(1);\0", 8));  // page 2's slot
  EXPECT_EQ(Run("sd rom --memory 3").code, 2);
  EXPECT_EQ(Run("sd status").out, "pic.sbin  未生成\nrom.sbin  已生成,长度:2097152字节\n");
}

}  // namespace
}  // namespace panelcraft
