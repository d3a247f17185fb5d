// Device detection over a scripted link: the information reply and version
// check, the query's quiet period, the automatic search, the manual
// connection, the switch to 115200 and the line test.
#include <gtest/gtest.h>

#include "app/global.h"
#include "app/text.h"
#include "device/device_info.h"
#include "device/device_link.h"
#include "scripted_link.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

using test::ScriptedLink;

TEST(DeviceInfo, RepliesFillTheDeviceFacts) {
  struct Case {
    const char* reply;
    const char* serial;
    int width, height;
    const char* firmware;
    int version, memory;
  } cases[] = {
      {"SN:ABCDEFGHIJKLMN TP:R LCD480X272 BL:100 V5.55 SD:0 EF4016\r\n", "ABCDEFGHIJKLMN", 480, 272, "5.55", 555, 8},
      {"SN:ABCDEFGHIJKLMN TP:R LCD480X272 BL:100 V5.49 SD:0 ABC17\r\n", "ABCDEFGHIJKLMN", 480, 272, "5.49", 549, 16},
      {"SN:ABCDEFGHIJKLMNOPQ a XYZ800X480 b V6.02 c EF4014\r\n", "ABCDEFGHIJKLMN", 800, 480, "6.02", 602, 2},
      {"SN:ABCDEFGHIJKLMN a XYZ320X240 b V5.60 c EF4041\n", "ABCDEFGHIJKLMN", 320, 240, "5.60", 560, 2},
      {"SN:ABCDEFGHIJKLMN a XYZ320X240 b V5.60 c EF4015\r", "ABCDEFGHIJKLMN", 320, 240, "5.60", 560, 4},
      // Truncated or lying replies: whatever is missing reads as empty.
      {"SN:SHORT\r\n", "SHORT", 0, 0, "", 0, 8},
      {"SN", "", 0, 0, "", 0, 8},
      {"SN:X a LCDabcXdef b V c 99\r\n", "X", 0, 0, "", 0, 8},
      {"SN:X  LCD480X272\r\n", "X", 480, 272, "", 0, 8},  // two spaces: an empty T2
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reply);
    Trom rom;
    ParseDeviceInfo(c.reply, rom);
    EXPECT_EQ(rom.SerialNumber, c.serial);
    EXPECT_EQ(rom.ScreenWidth, c.width);
    EXPECT_EQ(rom.ScreenHeight, c.height);
    EXPECT_EQ(rom.FirmwareText, c.firmware);
    EXPECT_EQ(rom.FirmwareVersion, c.version);
    EXPECT_EQ(rom.MemorySize, c.memory);
  }
}

TEST(DeviceInfo, VersionComparisonNeverReadsTheLastCharacter) {
  struct Case {
    const char* text;
    int result;
  } cases[] = {{"5.55", 2},   {"5.50", 2}, {"5.49", 1}, {"5.5", 1},  {"6.02", 3},         {"5.60", 3},
               {"12.345", 3}, {"", 1},     {"5", 1},    {"x.yz", 1}, {"99999999999.9", 3}};
  for (const Case& c : cases) EXPECT_EQ(CompareVersion(c.text, 5, 5), c.result) << c.text;
}

class LinkTest : public ::testing::Test {
 protected:
  LinkTest() : g(home.path(), messages), link(g, port, port) {
    g.Start();
    g.ProjectFile = "demo.lmx";  // the connection window exists only with a project
  }

  std::vector<std::string> LogFrom(size_t first) const {
    return std::vector<std::string>(link.Log.begin() + static_cast<long>(first), link.Log.end());
  }

  test::TempDir home;
  test::RecordingMessages messages;
  Tglobal g;
  ScriptedLink port;
  DeviceLink link;
};

TEST_F(LinkTest, QueryWaitsForAQuietPeriod) {
  port.Openable = {"COM1"};
  ASSERT_EQ(port.Open("COM1", 115200), "");
  // A reply in pieces 250 ms apart is read whole, until 300 ms pass quietly.
  port.Respond = [&](const std::string&) {
    port.ReplyAfter(100, "SN:ABCDEFGHIJKLMN TP:R ");
    port.ReplyAfter(350, "LCD480X272 BL:100 V5.55 ");
    port.ReplyAfter(600, "SD:0 EF4017\r\n");
  };
  EXPECT_TRUE(link.QueryDevice(false));
  EXPECT_EQ(port.Texts(), std::vector<std::string>{";INF;\r"});
  EXPECT_GE(port.Now, 900);
  EXPECT_EQ(g.Rom.MemorySize, 16);
  EXPECT_EQ(LogFrom(1), (std::vector<std::string>{Gbk("发送:;INF;\r"),
                                                  "SN:ABCDEFGHIJKLMN TP:R LCD480X272 BL:100 V5.55 SD:0 EF4017\r\n"}));
  EXPECT_TRUE(g.ReceiveBuffer.Empty());

  // "OK" is a display too; the facts stay as they were.
  port.Respond = [&](const std::string&) { port.ReplyAfter(1000, "OK\r\n"); };
  EXPECT_TRUE(link.QueryDevice(true));
  EXPECT_EQ(g.Rom.MemorySize, 16);
  port.Respond = [&](const std::string&) { port.ReplyAfter(10, "ERR\r\n"); };
  EXPECT_FALSE(link.QueryDevice(true));
  port.Respond = nullptr;
  EXPECT_FALSE(link.QueryDevice(true));
}

TEST_F(LinkTest, OldFirmwareIsRefused) {
  port.Openable = {"COM3"};
  emu::Options options;
  options.Firmware = "5.49";
  test::EmulatedDisplay display(port, options);
  link.PortText = "COM3";
  EXPECT_FALSE(link.ManualConnect());
  EXPECT_EQ(
      messages.Shown,
      (std::vector<std::string>{
          Gbk("当前版本的Panelcraft只支持V5.5+的串口屏,您当前连接的设备是5.49;请按照说明书进行升级后再使用新版Panelcraft);"),
          Gbk("未发现该串口连接有Lumetra串口屏!")}));
  EXPECT_EQ(g.LinkState, 0);
  EXPECT_FALSE(port.IsOpen());
}

TEST_F(LinkTest, SearchWithoutPortsLogsAndFindsNothing) {
  EXPECT_FALSE(link.AutoSearch());
  EXPECT_EQ(LogFrom(1),
            (std::vector<std::string>{Gbk("测试无串口 @ 2400"), Gbk("无串口连接不上!"), Gbk("没有发现串口屏!")}));
  EXPECT_EQ(link.PortList, std::vector<std::string>{Gbk("无串口")});
}

TEST_F(LinkTest, SearchGoesOverPortsAndRatesAndSwitchesTo115200) {
  port.System = {"COM2", "com10", "COM1"};
  port.Openable = {"COM1", "COM2"};
  emu::Options options;
  options.Baud = 9600;
  test::EmulatedDisplay display(port, options);
  link.DelayText = "abc";  // not a number: taken as 3 ms
  g.StopRequest = true;    // left over from a stopped upload: no matter to a search
  bool consoleShown = false;
  link.ShowConsole = [&] { consoleShown = true; };

  EXPECT_TRUE(link.AutoSearch());
  EXPECT_EQ(link.PortList, (std::vector<std::string>{"COM1", "com10", "COM2"}));
  EXPECT_EQ(port.Interval, 3);
  EXPECT_EQ(port.Opened, (std::vector<std::string>{"COM1@2400", "COM1@4800", "COM1@9600", "COM1@115200"}));
  EXPECT_EQ(LogFrom(1),
            (std::vector<std::string>{Gbk("延时值0ms无效，按3ms使用"), Gbk("测试COM1 @ 2400"), Gbk("发送:;INF;\r"), "",
                                      Gbk("测试COM1 @ 4800"), Gbk("发送:;INF;\r"), "", Gbk("测试COM1 @ 9600"),
                                      Gbk("发送:;INF;\r"), display.Display.InfoLine(), Gbk("发现串口屏!"),
                                      Gbk("发送:;USET(6);\r"), Gbk("强制串口到115200传输!")}));
  // The baud switch goes out at the rate the display was found at.
  ASSERT_GE(port.Sent.size(), 2u);
  EXPECT_EQ(port.Sent.back().Bytes, ";USET(6);\r");
  EXPECT_EQ(port.Sent.back().Baud, 9600);
  EXPECT_EQ(port.Baud(), 115200);
  EXPECT_EQ(display.Display.Baud(), 115200);
  EXPECT_EQ(link.BaudChoice, 9600);
  EXPECT_EQ(link.PortText, "COM1");
  EXPECT_EQ(g.LinkState, 1);
  EXPECT_TRUE(consoleShown);
  EXPECT_EQ(messages.Shown, std::vector<std::string>{Gbk("发现串口屏!")});
  EXPECT_EQ(link.Button2Caption(), Gbk("断开"));
  EXPECT_FALSE(link.Button1Enabled());

  // Connected: a second search is refused.
  EXPECT_FALSE(link.AutoSearch());
  EXPECT_EQ(messages.Shown.back(), Gbk("请先关闭串口!"));
}

TEST_F(LinkTest, SearchSkipsThePortThatDoesNotOpenAndKeepsTheRateWhenAsked) {
  port.System = {"COM1", "COM7"};
  port.Openable = {"COM7"};
  emu::Options options;
  options.Baud = 256000;
  test::EmulatedDisplay display(port, options);
  link.KeepRate = true;
  EXPECT_TRUE(link.AutoSearch());
  EXPECT_EQ(link.Log[2], Gbk("COM1连接不上!"));
  EXPECT_EQ(link.Log[3], Gbk("测试COM7 @ 2400"));
  EXPECT_EQ(port.Baud(), 256000);
  EXPECT_EQ(port.Opened.back(), "COM7@256000");
  EXPECT_EQ(port.Texts().back(), ";INF;\r");
}

TEST_F(LinkTest, ManualConnectionAndDisconnection) {
  port.Openable = {"/dev/ttyUSB0"};
  test::EmulatedDisplay display(port, emu::Options{});
  link.PortText = "/dev/ttyUSB0";

  link.DelayText = "3.5";
  EXPECT_FALSE(link.ManualConnect());  // not an integer: reported, nothing else
  EXPECT_EQ(messages.Shown, std::vector<std::string>{Gbk("'3.5' 不是有效的整数")});
  EXPECT_TRUE(port.Opened.empty());

  link.DelayText = "0";
  EXPECT_TRUE(link.ManualConnect());
  EXPECT_EQ(port.Interval, 3);
  EXPECT_EQ(g.LinkState, 1);
  EXPECT_EQ(g.Rom.SerialNumber, "EMU00000000001");
  EXPECT_EQ(port.Texts(), std::vector<std::string>{";INF;\r"});  // already at 115200: no switch
  EXPECT_FALSE(link.ConnectingShown);

  EXPECT_FALSE(link.ManualConnect());  // "断开"
  EXPECT_EQ(g.LinkState, 0);
  EXPECT_FALSE(port.IsOpen());

  // In offline design the button only ends that state.
  g.LinkState = 2;
  port.Opened.clear();
  EXPECT_FALSE(link.ManualConnect());
  EXPECT_EQ(g.LinkState, 0);
  EXPECT_TRUE(port.Opened.empty());

  // No display on the port, and a port that does not open.
  port.Respond = nullptr;
  messages.Shown.clear();
  EXPECT_FALSE(link.ManualConnect());
  link.PortText = "COM9";
  EXPECT_FALSE(link.ManualConnect());
  EXPECT_EQ(messages.Shown, (std::vector<std::string>{Gbk("未发现该串口连接有Lumetra串口屏!"),
                                                      Gbk("打开串口出错\r\n此串口不存在或被占用")}));
}

TEST_F(LinkTest, LineTestSendsTheTestTextAndLogsTheAnswer) {
  port.Openable = {"COM4"};
  test::EmulatedDisplay display(port, emu::Options{});
  std::vector<std::string> statements;
  display.Display.StatementRun = [&](const std::string& s) { statements.push_back(s); };
  link.PortText = "COM4";
  g.LinkState = 1;
  link.LineTest();
  EXPECT_EQ(g.LinkState, 0);
  EXPECT_FALSE(port.IsOpen());
  ASSERT_EQ(port.Sent.size(), 1u);
  EXPECT_TRUE(port.Sent[0].Bytes.starts_with("CLS(0);BS12(0,0,219,4,'"));
  EXPECT_EQ(port.Sent[0].At, 200);
  EXPECT_EQ(statements.size(), 2u);  // CLS and BS12 reach the virtual display
  EXPECT_EQ(link.Log.back(), Gbk("如果您看到此信息表示TTL线的RX端与串口屏的TX端线路正常,串口屏连接正常!"));
}

TEST_F(LinkTest, ReceivedBlocksReachTheConsoleOnlyOnItsRoute) {
  std::string console;
  link.ConsoleReceived = [&](std::string_view bytes) { console += bytes; };
  link.Dispatch("a");
  g.ReceiveRoute = 1;
  link.Dispatch("b");
  EXPECT_EQ(console, "b");
  EXPECT_EQ(g.ReceiveBuffer.Text(), "ab");
  EXPECT_TRUE(g.ReceiveBuffer.ReceivedFlag());
}

TEST_F(LinkTest, OneJobAtATime) {
  DeviceLink::Job running(link);
  ASSERT_TRUE(running);
  EXPECT_FALSE(link.AutoSearch());
  EXPECT_FALSE(link.ManualConnect());
  EXPECT_TRUE(port.Opened.empty());
  EXPECT_EQ(messages.Shown.size(), 2u);
}

}  // namespace
}  // namespace panelcraft
