// The upload over a scripted link to the display model: check values,
// changed sectors only, erases, the block encoding, "OKOK" and its limit,
// lost answers, stop requests and the buttons' ranges.
#include "device/upload.h"

#include <gtest/gtest.h>

#include <random>

#include "app/global.h"
#include "app/text.h"
#include "device/device_link.h"
#include "scripted_link.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

const std::string kNoReply = "您的串口无法收到回复数据,请检查连接或者在连接界面增大延时值，然后重新连接串口再次上传!";

emu::Options TwoMegabytes(const char* firmware = "5.55", const char* faults = "") {
  emu::Options options;
  options.MemoryMb = 2;
  options.Firmware = firmware;
  options.InjectedFaults = *emu::ParseFaults(faults);
  return options;
}

class UploadTest : public ::testing::Test {
 protected:
  explicit UploadTest(const emu::Options& options = TwoMegabytes())
      : g(home.path(), messages), link(g, port, port), display(port, options), upload(g, link) {
    g.Start();
    port.Openable = {"COM1"};
    Connect();
    g.Rom.MemorySize = options.MemoryMb;
    g.Rom.FirmwareVersion = display.Display.Flash().FirmwareVersion;
  }
  void Connect() {
    ASSERT_EQ(port.Open("COM1", 115200), "");
    g.LinkState = 1;
  }
  // Random bytes (never a blank sector) into sectors first..last of the image.
  void Fill(uint32_t first, uint32_t last, uint32_t seed) {
    std::mt19937 random(seed);
    for (size_t a = first * 4096; a < (last + 1) * 4096; ++a) g.Rom.Image[a] = static_cast<uint8_t>(random());
  }
  // The first address where the display's flash differs from the image, or -1.
  int64_t FirstDifference(uint32_t from = 4096, uint32_t to = 2 * 1048576) const {
    const auto& flash = display.Display.Flash().Image;
    const auto diff = std::mismatch(flash.begin() + from, flash.begin() + to, g.Rom.Image.begin() + from);
    return diff.first == flash.begin() + to ? -1 : diff.first - flash.begin();
  }
  size_t Count(const std::string& prefix) const {
    size_t n = 0;
    for (const auto& text : port.Texts()) n += text.starts_with(prefix);
    return n;
  }
  bool Sync() { return upload.UploadRange(16, g.Rom.MemorySize * 4096 - 16); }

  test::TempDir home;
  test::RecordingMessages messages;
  Tglobal g;
  test::ScriptedLink port;
  DeviceLink link;
  test::EmulatedDisplay display;
  Upload upload;
};

TEST_F(UploadTest, SendsChangedSectorsErasesBlankOnesAndThenNothing) {
  Fill(2, 5, 1);
  g.Rom.Image[32 * 256 + 1022] = 0x12;  // the first block of sector 2
  g.Rom.Image[32 * 256 + 1023] = 0xFF;
  g.Rom.Image[32 * 256 + 300] = 0x00;
  std::fill_n(display.Display.Flash().Image.begin() + 7 * 4096, 100, uint8_t{0});  // blank in the image
  std::fill_n(display.Display.Flash().Image.begin(), 4096, uint8_t{0});            // sector 0 stays out

  ASSERT_TRUE(Sync());
  EXPECT_EQ(FirstDifference(), -1);
  EXPECT_EQ(port.Texts().front(), ";RCPG(1,511);\r");
  EXPECT_EQ(Count(";BUP("), 16u);
  EXPECT_EQ(Count(";EMEM("), 1u);
  EXPECT_EQ(Count(";EMEM(7);\r"), 1u);
  EXPECT_EQ(upload.Counts.Sent, 4u);
  EXPECT_EQ(upload.Counts.Erased, 1u);
  EXPECT_EQ(upload.Counts.Skipped, 506u);
  EXPECT_EQ(messages.Shown, std::vector<std::string>{Gbk("上传完成!")});
  EXPECT_EQ(upload.Grid[0], Upload::Outside);
  EXPECT_EQ(upload.Grid[1], Upload::Done);
  EXPECT_EQ(upload.Grid[511], Upload::Done);
  EXPECT_EQ(upload.Grid[512], Upload::Outside);
  EXPECT_EQ(upload.SectorStates[2], Upload::Differs);
  EXPECT_EQ(upload.SectorStates[9], Upload::Same);
  EXPECT_FALSE(upload.StopButtonEnabled);
  EXPECT_EQ(upload.Status, "");

  // The statement and the encoding of the block at page 32.
  const auto texts = port.Texts();
  const auto at = std::find(texts.begin(), texts.end(), ";BUP(32,273);\r");
  ASSERT_NE(at, texts.end());
  ASSERT_EQ(at[1].size(), 1024u);
  EXPECT_EQ(static_cast<uint8_t>(at[1][300]), 0x2C);
  EXPECT_EQ(static_cast<uint8_t>(at[1][1]), g.Rom.Image[32 * 256 + 1] ^ 1);

  // Equal now: only the check values are asked for.
  port.Sent.clear();
  messages.Shown.clear();
  ASSERT_TRUE(Sync());
  EXPECT_EQ(port.Texts(), std::vector<std::string>{";RCPG(1,511);\r"});
  EXPECT_EQ(upload.Counts.Skipped, 511u);
  EXPECT_EQ(messages.Shown, std::vector<std::string>{Gbk("上传完成!")});

  // Forced: every sector goes, blank ones as erases; sector 1 brings the
  // restart message, which stays for later uploads.
  port.Sent.clear();
  upload.Force = true;
  Fill(1, 1, 2);
  ASSERT_TRUE(Sync());
  EXPECT_EQ(upload.Counts.Sent, 5u);
  EXPECT_EQ(upload.Counts.Erased, 506u);
  EXPECT_EQ(FirstDifference(), -1);
  EXPECT_TRUE(upload.HeaderSectorSent);
  upload.Force = false;
  ASSERT_TRUE(upload.UploadRange(3584, 512));
  EXPECT_EQ(messages.Shown.back(), Gbk("上传完成! 您修改了串口屏的内存分区配置，需要重启(断电)配置才能生效！"));
}

class NewFirmwareUploadTest : public UploadTest {
 protected:
  NewFirmwareUploadTest() : UploadTest(TwoMegabytes("5.60")) {}
};

TEST_F(NewFirmwareUploadTest, ChecksumsOfTheNewerRuleMatchTheDisplay) {
  Fill(100, 101, 3);
  ASSERT_TRUE(Sync());
  EXPECT_EQ(upload.Counts.Sent, 2u);
  // Blank sectors of both sides agree under the newer rule (0xFFFFFC00).
  EXPECT_EQ(upload.Counts.Skipped, 509u);
  EXPECT_EQ(FirstDifference(), -1);
}

TEST_F(UploadTest, AgainResendsFillerAndTheWholeSectorUpToALimit) {
  Fill(300, 300, 4);
  int blocks = 0;
  // The third block of the sector arrives with a wrong last byte once.
  display.OnTheLine = [&](std::string& bytes) {
    if (bytes.size() == 1024 && ++blocks == 3) bytes[1023] ^= 1;
  };
  ASSERT_TRUE(Sync());
  EXPECT_EQ(FirstDifference(), -1);
  const auto texts = port.Texts();
  std::string fillerText;
  for (int i = 0; i < 30; ++i) fillerText += "NOPA";
  const auto filler = std::find(texts.begin(), texts.end(), fillerText + "\r");
  ASSERT_NE(filler, texts.end());
  EXPECT_EQ(std::count(texts.begin(), texts.end(), *filler), 10);
  EXPECT_TRUE(filler[10].starts_with(";BUP(4800,")) << "the sector again from its first block";
  EXPECT_EQ(Count(";BUP("), 4u + 3u);

  // A line that garbles every block: the upload gives up after 20 tries.
  Fill(301, 301, 5);
  display.OnTheLine = [&](std::string& bytes) {
    if (bytes.size() == 1024) bytes[1022] ^= 1;
  };
  messages.Shown.clear();
  port.Sent.clear();
  EXPECT_FALSE(Sync());
  EXPECT_EQ(Count(";BUP(4816,"), 20u);
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_EQ(messages.Shown[0], Gbk("第301扇区连续20次校验错误,传输中止,请检查连接或者增大延时值后再次上传!"));
  EXPECT_TRUE(g.StopRequest);
}

class LostAnswerTest : public UploadTest {
 protected:
  LostAnswerTest() : UploadTest(TwoMegabytes("5.55", "lost=1,max=1")) {}
};

TEST_F(LostAnswerTest, NoAnswerClosesTheLinkAndALaterUploadMends) {
  Fill(10, 12, 6);
  EXPECT_FALSE(Sync());
  EXPECT_EQ(messages.Shown, (std::vector<std::string>{Gbk(kNoReply), Gbk("串口没有连接!")}));
  EXPECT_EQ(g.LinkState, 0);
  EXPECT_FALSE(port.IsOpen());
  EXPECT_TRUE(g.StopRequest);
  EXPECT_NE(FirstDifference(), -1);

  g.StopRequest = false;
  Connect();
  ASSERT_TRUE(Sync());
  EXPECT_EQ(FirstDifference(), -1);
}

TEST_F(UploadTest, SilentDisplayAndStopRequests) {
  port.Respond = nullptr;
  EXPECT_FALSE(Sync());
  EXPECT_EQ(port.Now, Upload::ChecksumTimeoutMs);
  EXPECT_EQ(messages.Shown, std::vector<std::string>{Gbk(kNoReply)});
  EXPECT_EQ(g.LinkState, 0);

  // A stop while a block's answer is awaited ends the upload at once,
  // without a message, the status still showing the transfer.
  test::EmulatedDisplay again(port, TwoMegabytes());
  Connect();
  messages.Shown.clear();
  Fill(40, 41, 7);
  again.OnTheLine = [&](std::string& bytes) {
    if (bytes.size() == 1024) g.StopRequest = true;
  };
  EXPECT_FALSE(Sync());
  EXPECT_EQ(Count(";BUP("), 1u);
  EXPECT_TRUE(messages.Shown.empty());
  EXPECT_EQ(upload.Status, Gbk("上传中......"));
  EXPECT_TRUE(upload.StopButtonEnabled);

  // Without a link nothing goes out.
  g.LinkState = 0;
  port.Sent.clear();
  g.StopRequest = false;
  EXPECT_FALSE(Sync());
  EXPECT_TRUE(port.Sent.empty());
  EXPECT_TRUE(g.StopRequest);
}

TEST_F(UploadTest, EmptyRangeAsksForNothing) {
  ASSERT_TRUE(upload.UploadRange(4096, 15));  // less than one sector
  EXPECT_TRUE(port.Sent.empty());
  EXPECT_EQ(messages.Shown, std::vector<std::string>{Gbk("上传完成!")});
}

TEST_F(UploadTest, ChecksumRepliesThatLieOrBreakOff) {
  struct Case {
    const char* reply;
    std::vector<std::pair<uint32_t, uint32_t>> stored;
    bool error;
  } cases[] = {
      {"RCPG=1,A|2,FFFFFC00|=OK", {{1, 0xA}, {2, 0xFFFFFC00}}, false},
      {"x=1F:BEEF|1FFF,1|=OK", {{0x1F, 0xBEEF}, {0x1FFF, 1}}, false},
      {"=2000,5|3,7|=OK", {{3, 7}}, false},            // sector 8192 is beyond the tables
      {"=FFFFFFFFF,5|4,8|=OK", {{4, 8}}, false},       // so is one of 36 bits
      {"=5,123456789|=OK", {{5, 0x23456789}}, false},  // low 32 bits
      {"=6,1|7,2", {{6, 1}}, true},                    // broken off
      {"=8,a|", {}, true},                             // small letters are no digits
      {"", {}, true},
      {"9,3|", {{9, 3}}, true},  // no "=": from the start
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    std::fill(upload.DeviceChecksums.begin(), upload.DeviceChecksums.end(), 0xDDDDDDDD);
    messages.Shown.clear();
    upload.ParseChecksumReply(c.reply);
    size_t changed = 0;
    for (uint32_t s = 0; s < Upload::TableSize; ++s) changed += upload.DeviceChecksums[s] != 0xDDDDDDDD;
    EXPECT_EQ(changed, c.stored.size());
    for (const auto& [s, v] : c.stored) EXPECT_EQ(upload.DeviceChecksums[s], v) << s;
    EXPECT_EQ(messages.Shown.size(), c.error ? 1u : 0u);
  }
}

class ProjectUploadTest : public UploadTest {
 protected:
  // The newer check value: the older one (a plain XOR) cannot tell empty
  // page slots from erased flash, since their 0x00 ends cancel out in pairs.
  ProjectUploadTest() : UploadTest(TwoMegabytes("5.60")) {
    g.ProjectFile = (home / "demo.lmx").string();
    g.Store.Put("pgcn0", "CLS(0);");
  }
};

TEST_F(ProjectUploadTest, ButtonsRebuildAndUploadTheirRanges) {
  ASSERT_TRUE(upload.UploadPages());
  EXPECT_EQ(port.Texts().front(), ";RCPG(224,32);\r");
  EXPECT_EQ(upload.Counts.Sent, 32u);
  EXPECT_EQ(FirstDifference(Trom::PageSlots, Trom::PictureData), -1);

  port.Sent.clear();
  ASSERT_TRUE(upload.UploadFonts());
  EXPECT_EQ(port.Texts().front(), ";RCPG(2,2);\r");
  EXPECT_EQ(Count(";RCPG(118,106);\r"), 1u);

  port.Sent.clear();
  ASSERT_TRUE(upload.UploadPictures());  // no picture data: only the index is asked for
  EXPECT_EQ(port.Texts(), std::vector<std::string>{";RCPG(4,1);\r"});
}

TEST_F(ProjectUploadTest, ImageOfAFailedBuildIsNeverUploaded) {
  g.Rom.MemorySize = 2;
  test::WriteFile(g.Workspace() / "pic.sbin", std::string(15 * 1048576, 'p'));
  test::WriteFile(g.Workspace() / "pymb.bin", std::string(10000, 'm'));  // placed below the top: no room
  EXPECT_FALSE(upload.Sync());
  EXPECT_FALSE(g.LastBuildOk);
  EXPECT_TRUE(port.Sent.empty());
  EXPECT_EQ(messages.Shown, std::vector<std::string>{Gbk("存储空间不够，请减少图片数量或全字库种类!")});
}

}  // namespace
}  // namespace panelcraft
