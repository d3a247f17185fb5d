// Malformed statements and extreme arguments run without fault (the
// sanitizer build checks every read and write) and without hanging.
#include <gtest/gtest.h>

#include "sim/sim_fixture.h"

namespace panelcraft::test {
namespace {

class RobustnessTest : public SimTest {};

TEST_F(RobustnessTest, MalformedAndExtremeStatements) {
  // Pictures at the image's very end and with the largest sizes.
  PutPicture(1, 1024, 1024, 0xFFFF00, [](int, int) { return 0x1234; });
  PutPicture(2, 1024, 1, 0x100000, [](int, int) { return 0x4321; });
  Put(0x2000, {0x20, 'a', 0xFF, 0xFF});  // small-font entry pointing past the data
  Put(0x3800, {0xFF, 'a', 0xFF, 0xFF});
  pages[1] = "MSHW;MSET(1);MENU(0,0,10,10,0,0,0,0,0,3,1,0);MSHW;";
  const char* statements[] = {
      "", "(", ")", "BOX", "BOX(", "BOX(,,,,)", "BOX(99999,99999,99999,99999,99999)", "BOXF(0,0,99999,99999,63)",
      "BOXF(99999,99999,0,0,1)", "PL(0,0,99999,99999,1)", "PL(99999,0,0,99999,1)", "PS(99999,99999,99999)",
      "CIR(0,0,99999,1)", "CIRF(160,120,99999,2)", "CIRF(99999,99999,99999,3)", "SCC(99999,99999)", "SBC(99999)",
      "SXY(99999,99999)", "BOX(99999,99999,99999,99999,1)", "DS16(0,0,'abc',1,99999)", "SXY(0,0)",
      "DS12(0,0,'\\", "DS12(0,0,'", "DS16(0,0,abc,1)", "DS64(0,0,'\xB0\xA1\xFF\xFF\x81',1)",
      "DS24(0,0,'aaaa',1)", "DS48(300,230,'\xB0',1,0)", "PS64(99999,0,0,'\xD6\xD0',1)", "PS16(1,0,0,'ab',1)",
      "BPIC(1,0,0,1,1)", "PS64(1,0,0,'aa',1)", "PS16(1,1000,1000,'a',1)", "PLAB(99999,0,0,99999,'ab',1,1,1)",
      "PLAB(64,0,0,300,'\xD6\xD0',1,2,1)", "LABL(99999,0,0,10,'a',1,1)", "LABL(0,0,0,99999,'ab',1,2)",
      "BS24(0,0,0,99999,'\xD6\xD0\xD6\xD0',1)", "BS12(0,0,5,0,'aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa',1)",
      "PIC(0,0,1)", "PIC(99999,99999,1)", "PIC(0,0,99999)", "ICON(0,0,1,1,1,99999)", "ICON(0,0,1,3,99999,2)",
      "ICON(0,0,99999,1,1,0)", "CPIC(0,0,1,0,0,1024,1024)", "CPIC(0,0,1,99999,99999,0,0)", "CPIC(0,0,99999,0,0,1,1)",
      "DQX(0,0,1,99999,400,99999)", "Q99999", "S99999", "RQX", "DQX(99999,99999,20,20,20,20)", "S1",
      "DQX(0,0,0,0,0,0)", "S1", "MENU(0,0,99999,99999,99999,99999,99999,99999,0,99999,1,0)", "MSHW",
      "MSET(99999)", "MDF(0,99999,'x')", "MENU(0,0,10,10,0,0,0,0,0,3,99999,0)", "MSHW", "TICN(1,1,1)",
      "BICN(0,99999,99999,99999,99999,1)", "TICN(99999,0,0)", "PBTN(99999,99999,99999,99999,99999,99,99,1)",
      "BTN(1,0,0,99999,99999,15)", "BTN(2,1023,1023,99999,99999,6)", "BTN(3,0,0,5,5,7)",
      "TSIN(99999,99999,99999,0,99999,99999,99999)", "Q", "S", "DR", "Q1(", "W8UE", "CEUE", "W8BF(0,0,10,10,99999)",
      "\x81", "DS16(0,0,'\x81", "LABL(", "PLAB(", "MDF(", "MSET(", "CLS(99999)",
  };
  for (const char* s : statements) {
    SCOPED_TRACE(s);
    cmd.RunStatement(s);
  }
  RunList("CLS(0);BOX(0,0,10,10,1);;;';;'");
  cmd.DisplayWidth = 99999;  // larger than the surface
  cmd.DisplayHeight = 99999;
  Run("CLS(1)");
  EXPECT_EQ(Count(1), W * H);
}

}  // namespace
}  // namespace panelcraft::test
