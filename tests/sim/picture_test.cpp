// Pictures, background slots, icons and cut pictures out of the ROM image.
#include <gtest/gtest.h>

#include "sim/sim_fixture.h"

namespace panelcraft::test {
namespace {

// Never black, so that drawn pixels stand out from the cleared surface.
uint16_t Value(int x, int y) { return Rgb(x % 32, y % 64, 1 + (x / 32) % 31); }

class PictureTest : public SimTest {
 protected:
  SurfaceColour Expected(int x, int y) const { return Tgd::ToSurfaceColour(Value(x, y)); }
  // True when the region at (left, top) shows the picture's pixels from
  // (px, py) on.
  bool Shows(int left, int top, int w, int h, int px, int py) const {
    for (int x = 0; x < w; ++x)
      for (int y = 0; y < h; ++y)
        if (surface.Pixel(left + x, top + y) != Expected(px + x, py + y)) return false;
    return true;
  }
};

TEST_F(PictureTest, WholePicturesColumnByColumn) {
  PutPicture(3, 70, 50, 0x100000, Value);
  EXPECT_EQ(Run("PIC(10,20,3)"), (Report{10, 20, 80, 70}));
  EXPECT_TRUE(Shows(10, 20, 70, 50, 0, 0));
  EXPECT_EQ(Count(0), W * H - 70 * 50);
  // Clipped at the surface's edges without fault.
  Run("PIC(300,220,3)");
  EXPECT_TRUE(Shows(300, 220, 20, 20, 0, 0));

  PutPicture(4, 0, 30, 0x110000, Value);  // width 0: nothing drawn, the area set
  Run("CLS(0)");
  EXPECT_EQ(Run("PIC(5,6,4)"), (Report{5, 6, 5, 36}));
  EXPECT_EQ(Count(0), W * H);
  PutPicture(5, 1025, 2, 0x120000, Value);  // not usable
  EXPECT_EQ(Run("PIC(0,0,5)"), (Report{5, 6, 5, 36}));
  EXPECT_EQ(Run("PIC(0,0,9)"), (Report{5, 6, 5, 36}));  // an empty index entry (0xFF bytes)
}

TEST_F(PictureTest, BackgroundPicturesRegisterAndDraw) {
  PutPicture(5, 20, 20, 0x100000, Value);
  EXPECT_EQ(Run("BPIC(1,0,0,5)"), (Report{0, 0, 20, 20}));
  EXPECT_TRUE(Shows(0, 0, 20, 20, 0, 0));
  Run("CLS(0)");
  Run("BPIC(9,30,40,5,1)");  // slot 9 is slot 1; registered only
  EXPECT_EQ(Count(0), W * H);
  EXPECT_EQ(cmd.Display.Slots[1].X, 30);
  EXPECT_EQ(cmd.Display.Slots[1].Picture, 5);
}

TEST_F(PictureTest, IconsOfAnIconSet) {
  PutPicture(10, 110, 10, 0x100000, Value);
  EXPECT_EQ(Run("ICON(0,0,10,11,1,0)"), (Report{0, 0, 10, 10}));
  EXPECT_TRUE(Shows(0, 0, 10, 10, 0, 0));
  EXPECT_EQ(Count(0), W * H - 100);
  Run("ICON(20,0,10,11,1,3)");
  EXPECT_TRUE(Shows(20, 0, 10, 10, 30, 0));
  // Icon 11 lies in icon row 1, below the picture: it shows the data that
  // follows, the next columns of the picture.
  Run("ICON(40,0,10,11,1,11)");
  EXPECT_TRUE(Shows(40, 0, 10, 10, 1, 0));
  // No columns or rows: nothing, and the area stays.
  EXPECT_EQ(Run("ICON(100,100,10,0,1,0)"), (Report{40, 0, 50, 10}));

  // Icons taller than the read window are drawn whole.
  PutPicture(11, 2, 600, 0x200000, Value);
  Run("ICON(200,0,11,1,1,0)");
  EXPECT_TRUE(Shows(200, 0, 2, 240, 0, 0));
}

TEST_F(PictureTest, CutPictures) {
  PutPicture(6, 100, 100, 0x100000, Value);
  EXPECT_EQ(Run("CPIC(10,10,6,30,40,50,20)"), (Report{10, 10, 60, 30}));
  EXPECT_TRUE(Shows(10, 10, 50, 20, 30, 40));
  EXPECT_EQ(Count(0), W * H - 50 * 20);
  // 30 + 80 > 100: nothing, the area stays.
  EXPECT_EQ(Run("CPIC(0,0,6,30,30,80,80)"), (Report{10, 10, 60, 30}));
  EXPECT_EQ(Run("CPIC(0,0,0,0,0,5,5)"), (Report{10, 10, 60, 30}));  // picture 0

  // A cut taller than the read window shows every row.
  PutPicture(7, 4, 300, 0x200000, Value);
  Run("CLS(0)");
  Run("CPIC(0,0,7,0,50,4,250)");
  EXPECT_TRUE(Shows(0, 0, 4, 240, 0, 50));
}

}  // namespace
}  // namespace panelcraft::test
