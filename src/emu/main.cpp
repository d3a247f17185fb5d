// panelcraft-emu: a virtual display on a pseudo-terminal. It makes a
// pseudo-terminal, links PATH to its far side (which programs open as a
// serial port), and answers there as a display would. The line rate the
// other side sets must equal the display's own rate, or the display sees
// only noise and stays silent; --pace makes replies and received bytes take
// the time they would take on a real line.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "app/files.h"
#include "app/text.h"
#include "emu/display_emulator.h"
#include "emu/line_rate.h"
#include "sim/image_output.h"

using namespace panelcraft;
using namespace panelcraft::emu;

namespace {

volatile sig_atomic_t gStop = 0;
void OnSignal(int) { gStop = 1; }

const char kUsage[] =
    "usage: panelcraft-emu --link PATH [--size WxH] [--memory 2|4|8|16] [--firmware 5.55] [--baud RATE]\n"
    "                      [--serial TEXT] [--faults SPEC] [--screen FILE.png] [--flash FILE] [--pace]\n"
    "  SPEC: lost=RATE,okok=RATE,corrupt=RATE,stall=RATE[:MS],hangup=BLOCKS,max=COUNT,seed=N\n";

[[noreturn]] void Usage(const std::string& why) {
  std::cerr << why << "\n" << kUsage;
  std::exit(2);
}

int64_t NowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

void SleepUntilUs(int64_t when) {
  const int64_t now = NowUs();
  if (when > now) std::this_thread::sleep_for(std::chrono::microseconds(when - now));
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string link, flashFile, screenFile;
  bool pace = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) Usage(arg + " needs a value");
      return argv[++i];
    };
    if (arg == "--link")
      link = value();
    else if (arg == "--size") {
      const std::string v = value();
      int w = 0, h = 0;
      char x = 0, extra = 0;
      if (std::sscanf(v.c_str(), "%d%c%d%c", &w, &x, &h, &extra) != 3 || (x != 'x' && x != 'X') || w < 1 || w > 999 ||
          h < 1 || h > 999)
        Usage("--size is WxH, each 1 to 999");
      options.Width = w;
      options.Height = h;
    } else if (arg == "--memory") {
      options.MemoryMb = IntOrZero(value());
      if (options.MemoryMb != 2 && options.MemoryMb != 4 && options.MemoryMb != 8 && options.MemoryMb != 16)
        Usage("--memory is 2, 4, 8 or 16");
    } else if (arg == "--firmware") {
      options.Firmware = value();
      if (options.Firmware.size() != 4 || options.Firmware[1] != '.') Usage("--firmware reads like 5.55");
    } else if (arg == "--baud") {
      options.Baud = IntOrZero(value());
      if (options.Baud <= 0) Usage("--baud needs a rate");
    } else if (arg == "--serial") {
      options.Serial = value();
      if (options.Serial.empty() || options.Serial.find_first_of(" \r\n") != std::string::npos)
        Usage("--serial is one word");
    } else if (arg == "--faults") {
      const auto faults = ParseFaults(value());
      if (!faults) Usage("--faults does not read as a fault list");
      options.InjectedFaults = *faults;
    } else if (arg == "--screen")
      screenFile = value();
    else if (arg == "--flash")
      flashFile = value();
    else if (arg == "--pace")
      pace = true;
    else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else
      Usage("unknown option " + arg);
  }
  if (link.empty()) Usage("--link is needed");

  DisplayEmulator display(options);
  if (!flashFile.empty() && std::filesystem::exists(flashFile)) {
    try {
      const std::string bytes = ReadFileBytes(flashFile);
      std::copy_n(bytes.begin(), std::min<size_t>(bytes.size(), display.FlashBytes()), display.Flash().Image.begin());
    } catch (const FileError& e) {
      std::cerr << GbkToUtf8(e.what()) << "\n";
      return 1;
    }
  }

  if (!screenFile.empty()) {
    // The picture after every line that drew; a file that cannot be written
    // is reported once and the display goes on.
    auto writeScreen = [&display, screenFile, reported = false]() mutable {
      try {
        WriteSurfacePicture(screenFile, display.Screen());
      } catch (const FileError& e) {
        if (!reported) std::cerr << GbkToUtf8(e.what()) << "\n";
        reported = true;
      }
    };
    writeScreen();
    display.ScreenChanged = writeScreen;
  }

  const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
    std::perror("panelcraft-emu: pseudo-terminal");
    return 1;
  }
  const std::string slaveName = ::ptsname(master);
  // Holding the far side open keeps the line up between the host's openings
  // and lets the display read the rate the host set.
  const int slave = ::open(slaveName.c_str(), O_RDWR | O_NOCTTY);
  if (slave < 0) {
    std::perror("panelcraft-emu: far side");
    return 1;
  }
  termios raw{};
  ::tcgetattr(slave, &raw);
  ::cfmakeraw(&raw);
  ::cfsetispeed(&raw, B9600);
  ::cfsetospeed(&raw, B9600);
  ::tcsetattr(slave, TCSANOW, &raw);

  std::error_code ec;
  std::filesystem::remove(link, ec);
  if (::symlink(slaveName.c_str(), link.c_str()) != 0) {
    std::perror(("panelcraft-emu: link " + link).c_str());
    return 1;
  }
  struct sigaction action {};
  action.sa_handler = OnSignal;
  ::sigaction(SIGTERM, &action, nullptr);
  ::sigaction(SIGINT, &action, nullptr);
  ::signal(SIGPIPE, SIG_IGN);
  std::cout << "panelcraft-emu: " << link << " -> " << slaveName << " at " << options.Baud << " baud\n" << std::flush;

  int64_t lineFreeUs = 0;  // when the bytes received so far have crossed the line
  std::vector<char> buffer(65536);
  while (!gStop && !display.HungUp()) {
    pollfd p{master, POLLIN, 0};
    const int ready = ::poll(&p, 1, 200);
    if (ready <= 0 || !(p.revents & POLLIN)) continue;
    const ssize_t n = ::read(master, buffer.data(), buffer.size());
    if (n <= 0) continue;
    // Bytes sent at another rate reach the display as noise.
    if (LineRate(slave) != display.Baud()) continue;
    const int64_t byteUs = 10'000'000 / display.Baud();
    if (pace) {
      lineFreeUs = std::max(lineFreeUs, NowUs()) + n * byteUs;
      SleepUntilUs(lineFreeUs);
    }
    const std::vector<DisplayEmulator::Reply> replies =
        display.Feed(std::string_view(buffer.data(), static_cast<size_t>(n)), NowUs() / 1000);
    for (const DisplayEmulator::Reply& reply : replies) {
      if (reply.DelayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(reply.DelayMs));
      if (pace) SleepUntilUs(NowUs() + static_cast<int64_t>(reply.Bytes.size()) * byteUs);
      WriteAll(master, reply.Bytes);
    }
  }
  std::filesystem::remove(link, ec);
  ::close(master);
  ::close(slave);
  if (!flashFile.empty()) {
    try {
      WriteFileReplacing(flashFile, std::string_view(reinterpret_cast<const char*>(display.Flash().Image.data()),
                                                     display.FlashBytes()));
    } catch (const FileError& e) {
      std::cerr << GbkToUtf8(e.what()) << "\n";
      return 1;
    }
  }
  return 0;
}
