#include "fonts/base_data.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "app/home.h"
#include "device/rom.h"
#include "fonts/font_test_support.h"

namespace panelcraft {
namespace {

using testing::HasInk;

class BaseDataTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const auto strike12 = FindBitmapSongStrike(12);
    const auto strike16 = FindBitmapSongStrike(16);
    ASSERT_FALSE(strike12.empty()) << "xfonts-wqy is not installed";
    ASSERT_FALSE(strike16.empty());
    data_ = new std::string(MakeBaseData(strike12, strike16));
  }
  static void TearDownTestSuite() { delete data_; }
  static const uint8_t* At(uint32_t address) { return reinterpret_cast<const uint8_t*>(data_->data()) + address; }
  static const uint8_t* Gb2312Glyph(uint32_t base, int glyphBytes, uint8_t lead, uint8_t trail) {
    return At(base + static_cast<uint32_t>(((lead - 0xA1) * 94 + (trail - 0xA1)) * glyphBytes));
  }
  static std::string* data_;
};
std::string* BaseDataTest::data_ = nullptr;

TEST_F(BaseDataTest, LayoutAndVersionWord) {
  ASSERT_EQ(data_->size(), 0x76000u);
  EXPECT_EQ(std::string(data_->data() + 256, 4), std::string("\x01\x00\x00\x00", 4));
  for (uint32_t a : {0u, 255u, 260u, 0x1000u, 0x2000u, 0x4FFFu}) EXPECT_EQ(*At(a), 0xFF) << a;
  // Past the last GB2312 glyph each font region keeps 0xFF.
  EXPECT_EQ(*At(0x5000 + 8178 * 24), 0xFF);
  EXPECT_EQ(*At(0x35000 + 8178 * 32), 0xFF);
  EXPECT_EQ(*At(0x75000 + 95 * 16), 0xFF);
}

TEST_F(BaseDataTest, GlyphsOfBothSizesAndAscii) {
  for (auto [lead, trail] : {std::pair{0xB0, 0xA1}, {0xB9, 0xFA}, {0xF7, 0xFE}, {0xA3, 0xC1}}) {
    SCOPED_TRACE(lead * 256 + trail);
    const uint8_t* g12 = Gb2312Glyph(0x5000, 24, static_cast<uint8_t>(lead), static_cast<uint8_t>(trail));
    EXPECT_TRUE(HasInk(g12, 24));
    for (int column = 0; column < 12; ++column) EXPECT_EQ(g12[column * 2 + 1] & 0xF0, 0);  // 12 dots only
    EXPECT_TRUE(HasInk(Gb2312Glyph(0x35000, 32, static_cast<uint8_t>(lead), static_cast<uint8_t>(trail)), 32));
  }
  // "国" is a box as tall as the strike draws it: from row 0 or 1 of the cell
  // down to its last row.
  const uint8_t* guo = Gb2312Glyph(0x35000, 32, 0xB9, 0xFA);
  int top = 16, bottom = -1;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      if (testing::GlyphDot(guo, 16, x, y)) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  EXPECT_LE(top, 1);
  EXPECT_EQ(bottom, 15);
  // Codes GB2312 leaves empty are blank.
  EXPECT_FALSE(HasInk(Gb2312Glyph(0x5000, 24, 0xAA, 0xA1), 24));
  EXPECT_FALSE(HasInk(At(0x75000), 16));  // the space
  for (int c = 0x21; c < 0x7F; ++c) EXPECT_TRUE(HasInk(At(0x75000 + (c - 0x20) * 16), 16)) << c;
}

TEST_F(BaseDataTest, BuildShipsItAndANewHomeReceivesIt) {
  const auto bundled = FindBundledFile("default.bin");
  ASSERT_FALSE(bundled.empty());
  EXPECT_EQ(ReadFileBytes(bundled), *data_);
  test::TempDir temp;
  PrepareHome(temp.path() / "home");
  EXPECT_EQ(ReadFileBytes(temp.path() / "home" / "default.bin"), *data_);
}

}  // namespace
}  // namespace panelcraft
