// DisplayEmulator: the display's side of the serial protocol, without the
// line. It keeps a flash of the display's memory size, answers the
// information query, the check value request, data blocks and erases, takes
// the baud switch, and hands every other statement to RunStatement (the
// virtual display). Faults can be injected at given rates.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "device/rom.h"
#include "lang/cmd.h"

namespace panelcraft::emu {

// What --faults asks for: rates from 0 to 1 per block exchange, a seed, and
// optionally a cap on the faults injected and a hang-up after some blocks.
// They hit the exchanges of the upload (answers to ";BUP(", data blocks and
// ";EMEM("); the information query and the check values always get through.
struct Faults {
  double Lost = 0;     // the answer never comes
  double Again = 0;    // "OKOK" for a good block, which is not written
  double Corrupt = 0;  // one byte of the block changes on the line
  double Stall = 0;    // the answer comes StallMs late
  int64_t StallMs = 1500;
  int64_t HangupAfter = -1;  // blocks taken before the line drops; -1 never
  int64_t Max = -1;          // faults injected at most; -1 no cap
  uint32_t Seed = 1;
};
// "lost=0.1,okok=0.05,corrupt=0.02,stall=0.1:1500,hangup=40,max=3,seed=7";
// nothing for a text that does not read so.
std::optional<Faults> ParseFaults(std::string_view text);

struct Options {
  int32_t Width = 480;
  int32_t Height = 272;
  int32_t MemoryMb = 16;
  std::string Firmware = "5.55";
  int32_t Baud = 115200;
  std::string Serial = "EMU00000000001";
  Faults InjectedFaults;
};

class DisplayEmulator {
 public:
  static constexpr int64_t DataGapMs = 500;  // a block missing bytes this long is dropped

  explicit DisplayEmulator(const Options& options);

  struct Reply {
    std::string Bytes;
    int64_t DelayMs = 0;
  };

  // Bytes from the line at time nowMs; returns what the display sends back.
  std::vector<Reply> Feed(std::string_view bytes, int64_t nowMs);

  int32_t Baud() const { return baud_; }
  bool HungUp() const { return hungUp_; }
  uint32_t FlashBytes() const { return static_cast<uint32_t>(options_.MemoryMb) * 1048576u; }
  const Trom& Flash() const { return flash_; }
  Trom& Flash() { return flash_; }
  std::string InfoLine() const;

  // Every statement that is not part of the link protocol.
  std::function<void(const std::string& statement)> RunStatement;
  // Called after each complete line (after its statements ran).
  std::function<void()> LineDone;

  struct Stats {
    int64_t Blocks = 0;
    int64_t Written = 0;
    int64_t Erased = 0;
    int64_t Faults = 0;
  } Counts;

 private:
  void Statement(const std::string& statement, std::vector<Reply>& out);
  void Block(std::vector<Reply>& out);
  // An upload answer, subject to the lost and stall faults.
  void Answer(std::string text, std::vector<Reply>& out);
  bool Roll(double rate);

  Options options_;
  Trom flash_;
  Tcmd cmd_;
  int32_t baud_;
  std::string line_;
  bool dataMode_ = false;
  int32_t dataPage_ = 0;
  int32_t dataSum_ = 0;
  std::string data_;
  int64_t lastByteMs_ = 0;
  bool hungUp_ = false;
  std::mt19937 random_;
};

}  // namespace panelcraft::emu
