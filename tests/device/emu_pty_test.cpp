// The link as a user meets it: panelcraft-emu on a real pseudo-terminal,
// reached through Qt Serial Port by the core and by panelcraft-cli.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/global.h"
#include "device/device_link.h"
#include "device/serial/qt_serial_transport.h"
#include "device/upload.h"
#include "support/cli_run.h"
#include "support/temp_dir.h"

extern char** environ;

namespace panelcraft {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string Tool(const char* variable, const char* fallback) {
  const char* path = std::getenv(variable);
  return path ? path : fallback;
}

// A running panelcraft-emu; stopped (and its flash saved) on destruction.
class Emulator {
 public:
  Emulator(const fs::path& link, std::vector<std::string> options) : link_(link) {
    std::vector<std::string> words{Tool("PANELCRAFT_EMU", "panelcraft-emu"), "--link", link.string()};
    words.insert(words.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    EXPECT_EQ(posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    for (int i = 0; i < 500 && !fs::exists(fs::symlink_status(link)); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ~Emulator() { Stop(); }
  // Ends the emulator; its exit code (0 after a clean end), or -1.
  int Stop() {
    if (pid_ <= 0) return code_;
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
    pid_ = -1;
    code_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return code_;
  }
  std::string Name() const { return link_.string(); }

 private:
  fs::path link_;
  pid_t pid_ = -1;
  int code_ = -1;
};

using Result = test::CliResult;  // out: standard output and standard error together

// The program's side of a link to `portName`: its own home, an open project,
// the Qt serial port and the real clock.
struct Host {
  explicit Host(const std::string& portName) {
    g.ProjectFile = "demo.lmx";
    link.PortText = portName;
  }
  TempDir home;
  test::RecordingMessages messages;
  Tglobal g{home.path(), messages};
  QtSerialTransport port;
  SteadyClock clock;
  DeviceLink link{g, port, clock};
};

class PtyTest : public ::testing::Test {
 protected:
  TempDir dir;
  // panelcraft-cli on the test's home, or on `home`.
  Result Cli(const std::string& args, const std::string& env = "", const fs::path& home = {}) {
    return test::RunTogether(env + " " + Tool("PANELCRAFT_CLI", "panelcraft-cli") + " --home '" +
                             (home.empty() ? dir / "home" : home).string() + "' " + args);
  }
  static bool Has(const Result& r, const std::string& text) { return r.out.find(text) != std::string::npos; }
  // The image the workspace builds, for a display of `memory` MB.
  std::string Image(int memory, const fs::path& home) {
    const fs::path file = (home.empty() ? dir.path() : home) / "image.bin";
    EXPECT_EQ(Cli("rom build --memory " + std::to_string(memory) + " -o '" + file.string() + "'", "", home).code, 0);
    return test::ReadFile(file);
  }
  // Whether the saved flash equals the image over sectors 1 up to the end of
  // the memory, apart from the build stamp, which every build renews.
  ::testing::AssertionResult FlashMatches(const fs::path& flashFile, int memory, const fs::path& home = {}) {
    std::string flash = test::ReadFile(flashFile);
    std::string image = Image(memory, home);
    if (flash.size() != static_cast<size_t>(memory) * 1048576)
      return ::testing::AssertionFailure() << "flash size " << flash.size();
    image.resize(flash.size());
    for (uint32_t a = Trom::BuildStamp; a < Trom::BuildStamp + 4; ++a) flash[a] = image[a];
    for (size_t a = 4096; a < flash.size(); ++a)
      if (flash[a] != image[a]) return ::testing::AssertionFailure() << "differs at " << a;
    return ::testing::AssertionSuccess();
  }
};

TEST_F(PtyTest, DetectionAtEveryRateSwitchesTo115200) {
  QtSerialTransport first;  // makes Qt's application object on this thread
  const auto& rates = DeviceLink::BaudRates;
  std::vector<std::unique_ptr<Emulator>> emulators;
  for (int32_t rate : rates)
    emulators.push_back(std::make_unique<Emulator>(dir / ("d" + std::to_string(rate)),
                                                   std::vector<std::string>{"--baud", std::to_string(rate)}));
  std::vector<int32_t> found(rates.size(), 0);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < rates.size(); ++i) {
    threads.emplace_back([&, i] {
      Host host(emulators[i]->Name());
      host.link.BaudChoice = rates[i];
      if (host.link.ManualConnect() && host.g.LinkState == 1) found[i] = host.port.Baud();
      // The display answers at the new rate.
      if (found[i] && !host.link.QueryDevice(false)) found[i] = -1;
    });
  }
  for (auto& t : threads) t.join();
  for (size_t i = 0; i < rates.size(); ++i) EXPECT_EQ(found[i], 115200) << "display at " << rates[i];
}

TEST_F(PtyTest, SearchOverAMixOfPortsAndTheFirmwareRefusal) {
  ASSERT_EQ(Cli("project new Demo").code, 0);
  Emulator display(dir / "display", {"--baud", "38400", "--size", "800x480", "--memory", "4"});
  const std::string ports = "PANELCRAFT_EXTRA_PORTS='" + (dir / "absent").string() + ":" + display.Name() + "'";
  Result r = Cli("ports", ports);
  EXPECT_TRUE(Has(r, display.Name() + "\n")) << r.out;

  r = Cli("connect --auto --keep-rate", ports);
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(Has(r, "测试" + (dir / "absent").string() + " @ 2400\n" + (dir / "absent").string() + "连接不上!\n"));
  EXPECT_TRUE(Has(r, "测试" + display.Name() + " @ 19200\n发送:;INF;\n\n测试" + display.Name() + " @ 38400\n"));
  EXPECT_TRUE(Has(r, "发现串口屏!"));
  EXPECT_FALSE(Has(r, "USET"));
  EXPECT_TRUE(Has(r, "port: " + display.Name() + " at 38400 baud"));
  EXPECT_TRUE(Has(r, "screen: 800 x 480\nmemory: 4 MB\nfirmware: 5.55 (555)"));

  Emulator old(dir / "old", {"--firmware", "5.49"});
  r = Cli("connect --port " + old.Name());
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r, "您当前连接的设备是5.49;请按照说明书进行升级后再使用新版Panelcraft);"));
  EXPECT_TRUE(Has(r, "未发现该串口连接有Lumetra串口屏!"));

  r = Cli("connect --port " + (dir / "absent").string());
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r, "打开串口出错\r\n此串口不存在或被占用"));
}

TEST_F(PtyTest, SendAndLineTest) {
  ASSERT_EQ(Cli("project new Demo").code, 0);
  Emulator display(dir / "display", {"--baud", "9600"});
  Result r = Cli("send --port " + display.Name() + " --baud 9600 \"CLS(0);SEND('pong');\"");
  ASSERT_EQ(r.code, 0) << r.out;
  EXPECT_TRUE(Has(r, "send:CLS(0);SEND('pong');\r#13#10\npong\n")) << r.out;

  r = Cli("send --port " + display.Name() + " --tool touch-calibration");
  EXPECT_TRUE(Has(r, "send:TPST(480,272);\r#13#10\n")) << r.out;

  r = Cli("linetest --port " + display.Name() + " --baud 115200");  // the display has switched
  EXPECT_TRUE(Has(r, "如果您看到此信息表示TTL线的RX端与串口屏的TX端线路正常,串口屏连接正常!")) << r.out;
  r = Cli("linetest --port " + display.Name() + " --baud 9600");
  EXPECT_FALSE(Has(r, "串口屏连接正常!"));
}

TEST_F(PtyTest, TheDisplayDrawsWhatTheSimulatorDrawsOnceItHoldsTheImage) {
  ASSERT_EQ(Cli("project new Demo").code, 0);
  const fs::path screen = dir / "screen.png";
  const fs::path reference = dir / "reference.png";
  Emulator display(dir / "display", {"--size", "320x240", "--screen", screen.string()});
  ASSERT_EQ(Cli("upload --port " + display.Name()).code, 0);
  const std::string statements = "CLS(0);DS16(10,10,'Panel 你好',15);BOX(0,0,100,50,2);";
  Result r = Cli("send --port " + display.Name() + " \"" + statements + "\"");
  ASSERT_EQ(r.code, 0) << r.out;
  ASSERT_EQ(Cli("run --size 320x240 -o '" + reference.string() + "' \"" + statements + "\"").code, 0);
  const std::string drawn = test::ReadFile(screen);
  EXPECT_GT(drawn.size(), 100u);
  EXPECT_TRUE(drawn == test::ReadFile(reference)) << "the display's screen differs from the simulator's";
}

TEST_F(PtyTest, UploadsOnlyWhatChangedAndLeavesTheFlashEqualToTheImage) {
  ASSERT_EQ(Cli("project new Demo").code, 0);
  ASSERT_EQ(Cli("store put pgcn0 'CLS(0);DS16(0,0,\"hello\",15);'").code, 0);
  test::WriteFile(dir / "home/temp/pic.sbin", std::string(100000, 'p'));
  const fs::path flash = dir / "flash.bin";
  {
    Emulator display(dir / "display", {"--memory", "2", "--firmware", "5.60", "--flash", flash.string()});
    Result r = Cli("upload --port " + display.Name());
    ASSERT_EQ(r.code, 0) << r.out;
    EXPECT_TRUE(Has(r, "Send:;RCPG(1,511);\n"));
    EXPECT_TRUE(Has(r, "上传完成! 您修改了串口屏的内存分区配置"));

    ASSERT_EQ(Cli("store put pgcn9 'CLS(1);'").code, 0);
    r = Cli("upload --pages --port " + display.Name());
    ASSERT_EQ(r.code, 0) << r.out;
    EXPECT_TRUE(Has(r, "sectors: 1 sent, 0 erased, 31 skipped of 32")) << r.out;

    // Pictures gone: their sectors are erased, not sent.
    fs::remove(dir / "home/temp/pic.sbin");
    r = Cli("upload --port " + display.Name());
    ASSERT_EQ(r.code, 0) << r.out;
    EXPECT_TRUE(Has(r, "Send:;EMEM(256);"));
    EXPECT_TRUE(Has(r, " 25 erased,")) << r.out;
    EXPECT_EQ(display.Stop(), 0);
  }
  EXPECT_TRUE(FlashMatches(flash, 2));
}

TEST_F(PtyTest, StopFromAnotherThreadEndsARunningUpload) {
  Emulator display(dir / "display", {"--pace", "--memory", "2"});
  Host host(display.Name());
  Tglobal& g = host.g;
  DeviceLink& link = host.link;
  ASSERT_TRUE(link.ManualConnect());
  uint32_t x = 1;
  for (size_t a = 0x100000; a < 0x140000; ++a)
    g.Rom.Image[a] = static_cast<uint8_t>((x = x * 1664525u + 1013904223u) >> 24);
  Upload upload(g, link);
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    g.StopRequest = true;
  });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(upload.UploadRange(0x1000, 0x400));  // 64 sectors: about 24 s on a paced line
  const auto took = std::chrono::steady_clock::now() - start;
  stopper.join();
  EXPECT_LT(upload.Counts.Sent, 10u);
  EXPECT_LT(took, std::chrono::seconds(3));
  EXPECT_TRUE(host.messages.Shown.empty());
  EXPECT_EQ(g.LinkState, 1);
}

TEST_F(PtyTest, FaultsEndOrSlowTheUploadAndALaterUploadMends) {
  struct Case {
    const char* faults;
    bool firstCompletes;
    const char* says;
  } cases[] = {
      {"okok=0.2,max=4,seed=3", true, ""},
      {"corrupt=1,max=2,seed=5", true, ""},  // written wrong, found by the next upload's check values
      {"lost=1,max=1", false, "您的串口无法收到回复数据"},
      {"stall=1:1500,max=1", false, "您的串口无法收到回复数据"},
      {"hangup=3", false, "您的串口无法收到回复数据"},
  };
  // Each case on a home, a display and a flash of its own, all at once.
  std::vector<std::thread> runs;
  for (size_t i = 0; i < std::size(cases); ++i) {
    runs.emplace_back([&, i] {
      const Case& c = cases[i];
      SCOPED_TRACE(c.faults);
      const fs::path home = dir / ("home" + std::to_string(i));
      const fs::path flash = dir / ("flash" + std::to_string(i));
      const fs::path line = dir / ("display" + std::to_string(i));
      ASSERT_EQ(Cli("project new Demo", "", home).code, 0);
      test::WriteFile(home / "temp/pic.sbin", std::string(60000, 'q'));
      {
        Emulator display(line,
                         {"--memory", "2", "--firmware", "5.60", "--flash", flash.string(), "--faults", c.faults});
        Result r = Cli("upload --port " + display.Name(), "", home);
        EXPECT_EQ(r.code, c.firstCompletes ? 0 : 1) << r.out;
        EXPECT_TRUE(Has(r, c.says)) << r.out;
        if (!c.firstCompletes) {
          EXPECT_TRUE(Has(r, "串口没有连接!")) << r.out;
        }
        display.Stop();
      }
      Emulator display(line, {"--memory", "2", "--firmware", "5.60", "--flash", flash.string()});
      Result r = Cli("upload --port " + display.Name(), "", home);
      EXPECT_EQ(r.code, 0) << r.out;
      EXPECT_EQ(display.Stop(), 0);
      EXPECT_TRUE(FlashMatches(flash, 2, home));
    });
  }
  for (std::thread& run : runs) run.join();
}

}  // namespace
}  // namespace panelcraft
