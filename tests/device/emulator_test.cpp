// The display model's own parts: its fault list and its information line.
#include "emu/display_emulator.h"

#include <gtest/gtest.h>

#include "device/device_info.h"

namespace panelcraft {
namespace {

TEST(Emulator, FaultLists) {
  const auto all = emu::ParseFaults("lost=0.1,okok=0.05,corrupt=1,stall=0.5:250,hangup=40,max=3,seed=7");
  ASSERT_TRUE(all);
  EXPECT_DOUBLE_EQ(all->Lost, 0.1);
  EXPECT_DOUBLE_EQ(all->Again, 0.05);
  EXPECT_DOUBLE_EQ(all->Corrupt, 1);
  EXPECT_DOUBLE_EQ(all->Stall, 0.5);
  EXPECT_EQ(all->StallMs, 250);
  EXPECT_EQ(all->HangupAfter, 40);
  EXPECT_EQ(all->Max, 3);
  EXPECT_EQ(all->Seed, 7u);
  EXPECT_TRUE(emu::ParseFaults(""));
  for (const char* bad : {"lost", "lost=2", "lost=-0.1", "lost=x", "stall=0.1:", "stall=0.1:x", "hangup=-1",
                          "max=", "noise=0.1", "lost=0.1,", ",lost=0.1"})
    EXPECT_FALSE(emu::ParseFaults(bad)) << bad;
}

TEST(Emulator, InformationLineReadsBackAsItsOptions) {
  for (int memory : {2, 4, 8, 16}) {
    emu::Options options;
    options.Width = 800;
    options.Height = 48;
    options.MemoryMb = memory;
    options.Firmware = "6.02";
    options.Serial = "ABCDEFGHIJKLMN";
    emu::DisplayEmulator display(options);
    Trom rom;
    ParseDeviceInfo(display.InfoLine(), rom);
    EXPECT_EQ(rom.ScreenWidth, 800);
    EXPECT_EQ(rom.ScreenHeight, 48);
    EXPECT_EQ(rom.MemorySize, memory);
    EXPECT_EQ(rom.FirmwareVersion, 602);
    EXPECT_EQ(rom.FirmwareVersion, display.Flash().FirmwareVersion);
    EXPECT_EQ(rom.SerialNumber, "ABCDEFGHIJKLMN");
  }
}

}  // namespace
}  // namespace panelcraft
