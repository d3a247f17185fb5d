#include "device/rom.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "app/text.h"
#include "store/hash_table.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

using test::TempDir;
using test::WriteFile;

struct RomFixture : ::testing::Test {
  TempDir home;
  THashTable store;
  Trom rom;
  Trom::BuildInput input;
  RomFixture() {
    rom.Workspace = home / "temp";
    store.Folder = home / "temp";
    input.BaseData = home / "default.bin";
    input.Store = &store;
    input.BaudIndex = 6;
  }
  void File(const char* name, size_t size, char fill = 'x') { WriteFile(home / "temp" / name, std::string(size, fill)); }
  uint16_t Field(uint32_t offset) const { return rom.HeaderValue(offset); }
  std::string Bytes(uint32_t address, size_t count) const {
    return std::string(reinterpret_cast<const char*>(&rom.Image[address]), count);
  }
};

TEST_F(RomFixture, EmptyProjectGivesHeaderStampAndEmptyPageSlots) {
  input.LocalSeconds = 1000000;
  const auto report = rom.BuildImage(input);
  EXPECT_TRUE(report.Ok);
  EXPECT_TRUE(report.Messages.empty());
  EXPECT_EQ(Bytes(0x1000, 2), "\xAE\x5F");
  EXPECT_EQ(Bytes(0x107E, 2), "\x5E\xAF");
  for (uint32_t offset = 2; offset <= 16; offset += 2) EXPECT_EQ(Field(offset), 0xFF00) << offset;
  for (uint32_t offset = 18; offset < 126; ++offset) EXPECT_EQ(rom.Image[0x1000 + offset], 0xFF);
  // 1,000,000 − 28,800 = 971,200 = 0x000ED1C0, little-endian.
  EXPECT_EQ(Bytes(0x1080, 4), std::string("\xC0\xD1\x0E\x00", 4));
  for (uint32_t n = 0; n < 128; ++n) {
    EXPECT_EQ(rom.Image[Trom::PageSlots + n * 1024], 0x00) << n;
    EXPECT_EQ(rom.Image[Trom::PageSlots + n * 1024 + 1], 0xFF) << n;
  }
  EXPECT_EQ(rom.PictureEnd, 0x100000u);
  size_t written = 0;
  for (uint8_t b : rom.Image) written += b != 0xFF;
  EXPECT_EQ(written, 4u + 4u + 8 + 128);  // markers, stamp, the low bytes of eight fields, slots
}

TEST_F(RomFixture, BuildStampIsTheLocalTimeMinusEightHours) {
  // In a zone eight hours east of UTC the stamp is the plain epoch time.
  const char* old = std::getenv("TZ");
  const std::string saved = old ? old : "";
  ::setenv("TZ", "UTC-8", 1);
  ::tzset();
  const uint32_t before = static_cast<uint32_t>(std::time(nullptr));
  rom.BuildImage(input);
  const uint32_t after = static_cast<uint32_t>(std::time(nullptr)) + 1;
  old ? ::setenv("TZ", saved.c_str(), 1) : ::unsetenv("TZ");
  ::tzset();
  uint32_t stamp = 0;
  for (int i = 0; i < 4; ++i) stamp |= uint32_t{rom.Image[0x1080 + i]} << (8 * i);
  EXPECT_GE(stamp, before);
  EXPECT_LE(stamp, after);
}

TEST_F(RomFixture, FilesGoToTheirRegionsOverTheBaseData) {
  WriteFile(home / "default.bin", std::string(0x80000, 'B'));
  File("mini.idx", 100, 'i');
  File("mini.sbin", 300, 's');
  File("pic.idx", 16, 'p');
  File("pic.sbin", 5000, 'P');
  rom.BuildImage(input);
  EXPECT_EQ(rom.Image[0x0FFF], 'B');
  EXPECT_EQ(rom.Image[0x1084], 'B');  // base data right after the stamp
  EXPECT_EQ(Bytes(0x2000, 2), "ii");
  EXPECT_EQ(rom.Image[0x2000 + 100], 'B');
  EXPECT_EQ(rom.Image[0x4000], 'p');
  EXPECT_EQ(rom.Image[0x76000 + 299], 's');
  EXPECT_EQ(rom.Image[0x100000 + 4999], 'P');
  EXPECT_EQ(rom.Image[0x100000 + 5000], 0xFF);
  EXPECT_EQ(rom.PictureEnd, 0x100000u + 5000);
}

TEST_F(RomFixture, PlacesFullFontsAndTheImeTableDownwardsFromTheTop) {
  rom.MemorySize = 8;
  File("pymb.bin", 10000);
  rom.BuildImage(input);
  EXPECT_EQ(Field(Trom::ImeTable), 0x7ED0);
  EXPECT_EQ(Field(Trom::PlacementTop), 0x7F00);
  EXPECT_EQ(rom.Image[0x7ED000], 'x');

  rom.MemorySize = 16;
  std::filesystem::remove(home / "temp/pymb.bin");
  File("hz24.sbin", 588816, 'g');
  store.PutInt("hz24bf", 1);
  rom.BuildImage(input);
  EXPECT_EQ(Field(Trom::Gb2312Font24), 0xF600);
  for (uint32_t offset = 4; offset <= 16; offset += 2) EXPECT_EQ(Field(offset), 0xFF00) << offset;
  EXPECT_EQ(rom.Image[0xF60000], 'g');
  EXPECT_EQ(PlacedRegions(rom).size(), 1u);
  EXPECT_EQ(PlacedRegions(rom)[0].End, 0xF60000u + 589824u);
}

TEST_F(RomFixture, OnlyTheChosenFullFontsArePlacedInTheirOrder) {
  File("hz16.sbin", 770112, '6');
  File("hz24.sbin", 4096, '4');
  File("hz32.sbin", 8192, '2');
  File("hz48.sbin", 100, '8');
  store.PutInt("hz16bf", 4);
  store.PutInt("hz24bf", 2);  // GBK 24
  store.PutInt("hz32bf", 1);  // GB2312 32
  store.PutInt("hz48bf", 2);  // GBK 48: never placed
  rom.BuildImage(input);
  // GBK 24 first (below top), then GBK 16, then GB2312 32.
  EXPECT_EQ(Field(Trom::GbkFont32), 0xFF00);
  EXPECT_EQ(Field(Trom::GbkFont24), 0xFEF0);
  EXPECT_EQ(Field(Trom::GbkFont16), 0xFEF0 - 0xBD0);  // 770,112 rounds up to 0xBD000
  EXPECT_EQ(Field(Trom::Gb2312Font48), Field(Trom::GbkFont16));
  EXPECT_EQ(Field(Trom::Gb2312Font32), Field(Trom::GbkFont16) - 0x20);
  EXPECT_EQ(Field(Trom::Gb2312Font24), Field(Trom::Gb2312Font32));
  EXPECT_EQ(rom.Image[0xFEF000], '4');
  // A chosen font whose file is missing is simply not placed.
  std::filesystem::remove(home / "temp/hz32.sbin");
  rom.BuildImage(input);
  EXPECT_EQ(Field(Trom::Gb2312Font32), Field(Trom::GbkFont16));
}

TEST_F(RomFixture, PlacementStopsWhenItWouldReachThePictures) {
  rom.MemorySize = 2;
  store.Put("pgcn0", "CLS(0);");
  File("pymb.bin", 4096);
  // Top of a 2 MB display is 0x1F0000; pictures up to 0x1EF000 leave exactly
  // the table's 4,096 bytes.
  File("pic.sbin", 0x1EF000 - 0x100000);
  auto report = rom.BuildImage(input);
  EXPECT_TRUE(report.Ok);
  EXPECT_EQ(Field(Trom::ImeTable), 0x1EF0);

  File("pic.sbin", 0x1EF000 - 0x100000 + 1);
  int reloads = 0;
  rom.ReloadFontHeader = [&] { ++reloads; };
  report = rom.BuildImage(input);
  EXPECT_FALSE(report.Ok);
  ASSERT_EQ(report.Messages.size(), 1u);
  EXPECT_EQ(report.Messages[0], Gbk("存储空间不够，请减少图片数量或全字库种类!"));
  EXPECT_EQ(Field(Trom::ImeTable), 0xFFFF);
  EXPECT_EQ(Field(Trom::PlacementTop), 0x1F00);
  EXPECT_EQ(reloads, 0);
  EXPECT_EQ(rom.Image[Trom::PageSlots], 0xFF);  // no pages after a failed build
}

TEST_F(RomFixture, PageSlotsCarryTheTextTheBaudPrefixAndAreNeverOverrun) {
  store.Put("pgcn5", "CLS(0);\r\n");
  store.Put("pgcn0", "A;");
  input.BaudIndex = 2;
  auto report = rom.BuildImage(input);
  EXPECT_EQ(Bytes(0xE1400, 8), std::string("CLS(0);\0", 8));
  EXPECT_EQ(Bytes(0xE0000, 6), std::string("U2;A;\0", 6));

  // 1,023 bytes fit with the 0x00; with the prefix on page 1 they do not.
  store.Put("pgcn0", std::string(1021, 'a'));
  store.Put("pgcn1", std::string(1023, 'b'));
  store.Put("pgcn2", std::string(1022, 'c') + "\xB0\xA1");
  report = rom.BuildImage(input);
  EXPECT_EQ(report.CutPages, (std::vector<int>{1, 3}));
  EXPECT_EQ(report.Messages.size(), 2u);
  EXPECT_EQ(rom.Image[0xE0000 + 1023], 0x00);
  EXPECT_EQ(rom.Image[0xE0000 + 1022], 'a');
  EXPECT_EQ(rom.Image[0xE0400 + 1023], 0x00);
  EXPECT_EQ(rom.Image[0xE0800 + 1022], 0x00);  // the two-byte character is not split
  EXPECT_EQ(rom.Image[0xE0C00], 0x00);         // the next slot is untouched

  EXPECT_FALSE(rom.WritePage(128 + 7, "X", 6));  // n AND 0x7F
  EXPECT_EQ(Bytes(0xE0000 + 7 * 1024, 2), std::string("X\0", 2));
}

TEST_F(RomFixture, OversizedFilesStayInsideTheirRegions) {
  File("mini.sbin", Trom::MiniDataSize + 5000, 's');
  File("mini.idx", 9000, 'i');
  const auto report = rom.BuildImage(input);
  EXPECT_EQ(report.Messages.size(), 2u);
  EXPECT_EQ(rom.Image[Trom::PageSlots], 0x00);
  EXPECT_EQ(rom.Image[Trom::PageSlots + 1], 0xFF);
  EXPECT_EQ(rom.Image[0x3FFF], 'i');
  EXPECT_EQ(rom.Image[0x4000], 0xFF);
}

TEST(Trom, ChecksumsForBothFirmwareKinds) {
  Trom rom;
  rom.FirmwareVersion = 555;
  EXPECT_EQ(rom.BlockChecksum(3), 0u);
  EXPECT_TRUE(rom.IsBlockEmpty(3));
  rom.FirmwareVersion = 556;
  EXPECT_EQ(rom.BlockChecksum(3), 0xFFFFFC00u);
  // Words 0x04030201 and 0x00000010 in an otherwise zero block.
  std::fill_n(rom.Image.begin() + 4096 * 7, 4096, 0);
  rom.Image[4096 * 7 + 0] = 1;
  rom.Image[4096 * 7 + 1] = 2;
  rom.Image[4096 * 7 + 2] = 3;
  rom.Image[4096 * 7 + 3] = 4;
  rom.Image[4096 * 7 + 8] = 0x10;
  EXPECT_FALSE(rom.IsBlockEmpty(7));
  EXPECT_EQ(rom.BlockChecksum(7), (0x04030201u ^ 0x10u) + (0x04030201u + 0x10u));
  rom.FirmwareVersion = 100;
  EXPECT_EQ(rom.BlockChecksum(7), 0x04030201u ^ 0x10u);
  EXPECT_EQ(rom.BlockChecksum(Trom::BlockCount), 0u);  // a block number beyond the image
}

TEST(Trom, SizesAndTheMemoryBar) {
  EXPECT_EQ(Trom::RoundUp4K(0), 0u);
  EXPECT_EQ(Trom::RoundUp4K(1), 4096u);
  EXPECT_EQ(Trom::RoundUp4K(4096), 4096u);
  EXPECT_EQ(Trom::RoundUp4K(588816), 589824u);
  Trom rom;
  rom.MemorySize = 8;  // columns of 16 KB
  EXPECT_TRUE(rom.MemoryBarColumns().none());
  rom.Image[16384 * 3 + 16383] = 0;
  rom.Image[8 * 1048576 - 1] = 0;
  rom.Image[8 * 1048576] = 0;  // beyond the display's memory: not on the bar
  const auto bar = rom.MemoryBarColumns();
  EXPECT_EQ(bar.count(), 2u);
  EXPECT_TRUE(bar[3]);
  EXPECT_TRUE(bar[511]);
}

}  // namespace
}  // namespace panelcraft
