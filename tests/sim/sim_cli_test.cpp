// run and render through panelcraft-cli, on real files.
#include <gtest/gtest.h>

#include "app/text.h"
#include "support/cli_run.h"

namespace panelcraft {
namespace {

using test::RunCli;

class SimCliTest : public ::testing::Test {
 protected:
  test::CliResult Run(const std::string& arguments, const std::string& input = "") {
    return RunCli(dir_.path(), "--home '" + (dir_ / "home").string() + "' " + arguments, input);
  }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  // Pixel (x, y) of a binary PPM as "r,g,b".
  static std::string PpmPixel(const std::string& ppm, int width, int x, int y) {
    size_t at = 0;
    for (int lines = 0; lines < 3; ++lines) at = ppm.find('\n', at) + 1;
    at += (static_cast<size_t>(y) * width + x) * 3;
    if (at + 3 > ppm.size()) return "outside";
    return std::to_string(static_cast<unsigned char>(ppm[at])) + "," +
           std::to_string(static_cast<unsigned char>(ppm[at + 1])) + "," +
           std::to_string(static_cast<unsigned char>(ppm[at + 2]));
  }
  test::TempDir dir_;
};

TEST_F(SimCliTest, RunReportsEachStatementAndWritesPictures) {
  auto r = Run("run --report --size 64x48 -o '" + Path("out.ppm") +
               "' 'BOX(0,0,10,10,1)' 'SXY(20,20);BOXF(0,0,5,5,2);SXY(0,0)' cls\\(0\\)");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out,
            "BOX(0,0,10,10,1) 0 0 10 10\nSXY(20,20) -1 -1 -1 -1\nBOXF(0,0,5,5,2) 20 20 25 25\n"
            "SXY(0,0) -1 -1 -1 -1\ncls(0) 20 20 25 25\nwrote " +
                Path("out.ppm") + "\n");
  const std::string ppm = test::ReadFile(dir_ / "out.ppm");
  EXPECT_EQ(ppm.substr(0, 13), "P6\n64 48\n255\n");
  EXPECT_EQ(ppm.size(), 13u + 64 * 48 * 3);
  EXPECT_EQ(PpmPixel(ppm, 64, 10, 10), "248,0,0");
  EXPECT_EQ(PpmPixel(ppm, 64, 5, 5), "0,0,0");
  EXPECT_EQ(PpmPixel(ppm, 64, 24, 24), "0,252,0");

  // Statements from standard input; a PNG picture.
  r = Run("run -o '" + Path("out.png") + "'", Gbk("BOX(0,0,10,10,1);\r\nDS16(0,0,'中',1);\r\n"));
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(test::ReadFile(dir_ / "out.png").substr(0, 8), "\x89PNG\r\n\x1a\n");

  EXPECT_EQ(Run("run --size 0x10 'CLS(0)'").code, 2);
  EXPECT_EQ(Run("run --size big 'CLS(0)'").code, 2);
  r = Run("run --rom '" + Path("missing.bin") + "' 'CLS(0)'");
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("missing.bin"), std::string::npos);
}

TEST_F(SimCliTest, RunDrawsFromAGivenRomImage) {
  // An image whose picture 1 is 2 x 2 pixels of pure blue at 0x100000.
  std::string image(0x100008, '\xFF');
  const char entry[8] = {0, 2, 0, 2, 0, 0x10, 0, 0};
  image.replace(0x4008, 8, entry, 8);
  for (int i = 0; i < 4; ++i) image.replace(0x100000 + 2 * i, 2, "\x00\x1F", 2);
  test::WriteFile(dir_ / "rom.bin", image);
  auto r = Run("run --rom '" + Path("rom.bin") + "' --report --size 8x8 -o '" + Path("p.ppm") + "' 'PIC(3,3,1)'");
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_EQ(r.out.substr(0, 16), "PIC(3,3,1) 3 3 5");
  const std::string ppm = test::ReadFile(dir_ / "p.ppm");
  EXPECT_EQ(PpmPixel(ppm, 8, 4, 4), "0,0,248");
  EXPECT_EQ(PpmPixel(ppm, 8, 5, 5), "0,0,0");
}

TEST_F(SimCliTest, RenderRunsAPageOfTheWorkspace) {
  ASSERT_EQ(Run("project new demo --file '" + Path("demo.lmx") + "'").code, 0);
  ASSERT_EQ(Run("pages store 2", "BOXF(0,0,4,4,3);\r\nMENU(10,0,20,5,0,0,0,0,0,2,3,0);MSHW;").code, 0);
  ASSERT_EQ(Run("pages store 3", "MDF(1,0,'');").code, 0);
  auto r = Run("render 2 --size 40x20 -o '" + Path("page.ppm") + "'");
  ASSERT_EQ(r.code, 0) << r.err;
  const std::string ppm = test::ReadFile(dir_ / "page.ppm");
  EXPECT_EQ(ppm.substr(0, 12), "P6\n40 20\n255");
  EXPECT_EQ(PpmPixel(ppm, 40, 1, 1), "0,0,248");
  EXPECT_EQ(PpmPixel(ppm, 40, 29, 2), "32,112,232");  // colour 61, the selected row
  EXPECT_EQ(PpmPixel(ppm, 40, 29, 7), "32,36,32");    // colour 60
  EXPECT_EQ(Run("render 0").code, 2);
}

}  // namespace
}  // namespace panelcraft
