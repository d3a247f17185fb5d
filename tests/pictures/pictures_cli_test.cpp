// pictures list|move|tidy|generate and gifstrip through panelcraft-cli, on
// a home it makes itself.
#include <gtest/gtest.h>

#include "support/cli_run.h"
#include "pictures/picture_fixtures.h"

namespace panelcraft {
namespace {

class PicturesCliTest : public ::testing::Test {
 protected:
  test::CliResult Run(const std::string& arguments) {
    return test::RunCli(dir_.path(), "--home '" + (dir_ / "home").string() + "' " + arguments);
  }
  std::filesystem::path Pic(const std::string& name) { return dir_ / "home" / "temp" / "pic" / name; }
  test::TempDir dir_;
};

TEST_F(PicturesCliTest, ListMoveAndGenerate) {
  test::WriteFile(Pic("1.jpg"), test::SolidJpeg(4, 3, {0, 0, 255}));
  test::WriteFile(Pic("b.jpg"), test::SolidJpeg(6, 5, {0, 0, 255}));
  test::WriteFile(Pic("a.gif"), test::SolidGif(2, 1, {255, 255, 255}));
  test::WriteFile(Pic("c.jpg"), "broken");
  auto r = Run("pictures list");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "1  1  1.jpg  4x3\n2  2  a.gif  2x1\n3  3  b.jpg  6x5\n4  4  c.jpg  (not readable)\n");
  EXPECT_NE(r.err.find("c.jpg"), std::string::npos);

  r = Run("pictures move 2 1");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "1  1  1.gif  2x1\n2  2  2.jpg  4x3\n3  3  3.jpg  6x5\n4  4  4.jpg  (not readable)\n");
  EXPECT_EQ(Run("pictures list").out, r.out);  // the order lasts
  EXPECT_EQ(Run("pictures move 5 1").code, 2);

  r = Run("pictures generate");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out, "pictures: 4, data: 88 bytes\n");
  const std::string idx = test::ReadFile(dir_ / "home" / "temp" / "pic.idx");
  EXPECT_EQ(idx.substr(8, 8), std::string("\0\2\0\1\0\x10\0\0", 8));
  EXPECT_EQ(test::ReadFile(dir_ / "home" / "temp" / "pic.sbin").substr(0, 4), "\xF7\xDE\xF7\xDE");
}

TEST_F(PicturesCliTest, GifStrip) {
  std::vector<test::TestFrame> frames;
  for (int i = 0; i < 3; ++i) frames.push_back({0, 0, 40, 30, std::vector<uint8_t>(1200, static_cast<uint8_t>(i))});
  test::WriteFile(dir_ / "walk.gif", test::MakeGif(40, 30, {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}}, frames));
  auto r = Run("gifstrip '" + (dir_ / "walk.gif").string() + "'");
  ASSERT_EQ(r.code, 0) << r.err;
  const Bitmap strip = DecodeJpeg(test::ReadFile(Pic("walk.jpg")));
  EXPECT_EQ(strip.Width, 120);
  EXPECT_EQ(strip.Height, 30);
  EXPECT_GT(test::PixelOf(strip, 100, 15)[2], 240);                           // the third cell is blue
  EXPECT_EQ(Run("gifstrip '" + (dir_ / "walk.gif").string() + "'").code, 2);  // the question needs an answer
  EXPECT_EQ(Run("gifstrip --yes '" + (dir_ / "walk.gif").string() + "'").code, 0);
  EXPECT_EQ(Run("pictures list").out, "1  1  walk.jpg  120x30\n");
  r = Run("gifstrip '" + (dir_ / "walk.gif").string() + "' '" + (dir_ / "out.jpg").string() + "'");
  EXPECT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(std::filesystem::exists(dir_ / "out.jpg"));
  test::WriteFile(dir_ / "bad.gif", "GIF89a");
  r = Run("gifstrip '" + (dir_ / "bad.gif").string() + "'");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("bad.gif"), std::string::npos);
}

}  // namespace
}  // namespace panelcraft
