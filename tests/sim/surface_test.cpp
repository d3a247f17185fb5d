// The framebuffer surface's clipping and its PNG and PPM pictures.
#include <gtest/gtest.h>
#include <png.h>

#include "sim/image_output.h"
#include "sim/surface.h"

namespace panelcraft {
namespace {

TEST(Surface, EverythingOutsideIsClipped) {
  Surface s(10, 5);
  const SurfaceColour red{255, 0, 0};
  s.SetPixel(-1, 0, red);
  s.SetPixel(10, 4, red);
  s.FillRect(-100, -100, 100000, 2, red);
  s.FillEllipse(-2000000000, -2000000000, 2000000000, 2000000000, red);
  s.Line(-2000000000, 3, 2000000000, 3, red);
  EXPECT_EQ(s.Pixel(-1, 0), SurfaceColour{});
  int lit = 0;
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 10; ++x) lit += s.Pixel(x, y) == red;
  EXPECT_EQ(lit, 50);

  // A line entering from far outside sets the same pixels as its part inside.
  Surface a(10, 5), b(10, 5);
  a.Line(1000, 1000, 0, 0, red);
  b.Line(4, 4, 0, 0, red);
  EXPECT_EQ(a.Pixels(), b.Pixels());
  EXPECT_EQ(a.Pixel(0, 0), SurfaceColour{});  // the end point

  Surface none(-5, 3);
  none.FillRect(0, 0, 5, 5, red);
  EXPECT_EQ(none.Width(), 0);
}

TEST(Surface, PngAndPpmHoldThePixels) {
  Surface s(3, 2);
  s.SetPixel(0, 0, {248, 0, 0});
  s.SetPixel(2, 1, {1, 2, 3});
  EXPECT_EQ(EncodePpm(s), std::string("P6\n3 2\n255\n\xF8\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x01\x02\x03", 29));

  const std::string png = EncodePng(s);
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size()));
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(image));
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr));
  EXPECT_EQ(image.width, 3u);
  EXPECT_EQ(image.height, 2u);
  EXPECT_EQ(pixels, (std::vector<uint8_t>{248, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2, 3}));

  EXPECT_THROW(EncodePng(Surface(0, 0)), std::invalid_argument);
}

}  // namespace
}  // namespace panelcraft
