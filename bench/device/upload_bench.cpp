// Upload of 1 MB of changed sectors at 115200 baud to panelcraft-emu, whose
// line takes the time a real line takes, against the protocol's lower bound:
// every byte on the wire, both directions, at 10 bits a byte.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "app/global.h"
#include "device/device_link.h"
#include "device/serial/qt_serial_transport.h"
#include "device/upload.h"
#include "support/ratio_main.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace panelcraft;

constexpr int32_t kBaud = 115200;
constexpr uint32_t kFirstSector = 256;  // the picture data
constexpr uint32_t kSectors = 256;      // 1 MB

// Counts the bytes that cross the line.
class CountingTransport : public Transport {
 public:
  explicit CountingTransport(Transport& inner) : inner_(inner) {
    inner_.Received = [this](std::string_view block) {
      Received_ += block.size();
      if (Received) Received(block);
    };
  }
  std::string Open(const std::string& name, int32_t baud) override { return inner_.Open(name, baud); }
  void Close() override { inner_.Close(); }
  bool IsOpen() const override { return inner_.IsOpen(); }
  int32_t Baud() const override { return inner_.Baud(); }
  void SetReadInterval(int32_t ms) override { inner_.SetReadInterval(ms); }
  void SendBytes(std::string_view bytes) override {
    if (inner_.IsOpen()) Sent += bytes.size();
    inner_.SendBytes(bytes);
  }
  std::vector<std::string> SystemPortNames() override { return inner_.SystemPortNames(); }
  uint64_t Sent = 0;
  uint64_t Received_ = 0;

 private:
  Transport& inner_;
};

class NoMessages : public UserMessages {
 public:
  void Show(const std::string&) override {}
  bool Ask(const std::string&) override { return true; }
};

double gLowerBoundSeconds = 0;

void Upload1MB(benchmark::State& state) {
  std::string pattern = (fs::temp_directory_path() / "panelcraft-bench.XXXXXX").string();
  const fs::path dir = mkdtemp(pattern.data());
  const std::string link = (dir / "display").string();
  std::vector<std::string> words{PANELCRAFT_EMU_PATH, "--link", link, "--pace", "--firmware", "5.60"};
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ);
  for (int i = 0; i < 500 && !fs::exists(fs::symlink_status(link)); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  {
    NoMessages messages;
    Tglobal g(dir / "home", messages);
    g.Start();
    g.ProjectFile = "bench.lmx";
    QtSerialTransport serial;
    CountingTransport port(serial);
    SteadyClock clock;
    DeviceLink device(g, port, clock);
    device.PortText = link;
    device.BaudChoice = kBaud;
    if (!device.ManualConnect()) state.SkipWithError("no display on the emulator's line");
    std::mt19937 random(1);
    for (size_t a = kFirstSector * 4096; a < (kFirstSector + kSectors) * 4096; ++a)
      g.Rom.Image[a] = static_cast<uint8_t>(random());
    Upload upload(g, device);
    for (auto _ : state) {
      port.Sent = port.Received_ = 0;
      if (!upload.UploadRange(kFirstSector * 16, kSectors * 16) || upload.Counts.Sent != kSectors)
        state.SkipWithError("upload failed");
    }
    const uint64_t wire = port.Sent + port.Received_;
    gLowerBoundSeconds = static_cast<double>(wire) * 10 / kBaud;
    state.counters["wire_bytes"] = static_cast<double>(wire);
  }
  ::kill(pid, SIGTERM);
  ::waitpid(pid, nullptr, 0);
  fs::remove_all(dir);
}
BENCHMARK(Upload1MB)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// The lower bound of the run above, as a time.
void BaselineWireTime(benchmark::State& state) {
  for (auto _ : state) state.SetIterationTime(gLowerBoundSeconds);
}
BENCHMARK(BaselineWireTime)->Unit(benchmark::kSecond)->Iterations(1)->UseManualTime();

}  // namespace

int main(int argc, char** argv) { return panelcraft::bench::RunWithRatios(argc, argv); }
