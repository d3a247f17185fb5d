#include "emu/display_emulator.h"

#include <cstdio>
#include <cstring>

#include "app/text.h"

namespace panelcraft::emu {

namespace {

constexpr int32_t kRates[] = {2400, 4800, 9600, 19200, 38400, 57600, 115200, 256000};

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "%X", value);
  return text;
}

std::optional<double> Rate(std::string_view text) {
  std::string copy(text);
  char* end = nullptr;
  const double value = std::strtod(copy.c_str(), &end);
  if (copy.empty() || *end != '\0' || !(value >= 0 && value <= 1)) return std::nullopt;
  return value;
}

std::optional<int64_t> Count(std::string_view text) {
  const int32_t value = IntOrZero(text);
  if (value < 0 || (value == 0 && text != "0")) return std::nullopt;
  return value;
}

}  // namespace

std::optional<Faults> ParseFaults(std::string_view text) {
  Faults faults;
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view item = text.substr(0, comma);
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    if (comma != std::string_view::npos && text.empty()) return std::nullopt;
    const size_t equals = item.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = item.substr(0, equals);
    std::string_view value = item.substr(equals + 1);
    std::optional<double> rate;
    std::optional<int64_t> count;
    if (key == "stall") {
      const size_t colon = value.find(':');
      if (colon != std::string_view::npos) {
        if (!(count = Count(value.substr(colon + 1)))) return std::nullopt;
        faults.StallMs = *count;
        value = value.substr(0, colon);
      }
    }
    if (key == "lost" || key == "okok" || key == "corrupt" || key == "stall") {
      if (!(rate = Rate(value))) return std::nullopt;
      (key == "lost"      ? faults.Lost
       : key == "okok"    ? faults.Again
       : key == "corrupt" ? faults.Corrupt
                          : faults.Stall) = *rate;
    } else if (key == "hangup" || key == "max" || key == "seed") {
      if (!(count = Count(value))) return std::nullopt;
      if (key == "hangup")
        faults.HangupAfter = *count;
      else if (key == "max")
        faults.Max = *count;
      else
        faults.Seed = static_cast<uint32_t>(*count);
    } else {
      return std::nullopt;
    }
  }
  return faults;
}

DisplayEmulator::DisplayEmulator(const Options& options)
    : options_(options), baud_(options.Baud), random_(options.InjectedFaults.Seed) {
  flash_.MemorySize = options.MemoryMb;
  flash_.FirmwareText = options.Firmware;
  // The same reading of the version as the host's: "5.55" is 555.
  const std::string_view firmware = options.Firmware;
  flash_.FirmwareVersion =
      100 * IntOrZero(firmware.substr(0, 1)) + IntOrZero(firmware.substr(std::min<size_t>(2, firmware.size()), 2));
  screen_.Resize(options.Width, options.Height);
  cmd_.DisplayWidth = options.Width;
  cmd_.DisplayHeight = options.Height;
  cmd_.Display.SetSurface(&screen_);
  cmd_.Display.SetRom(&flash_);
  // A page called from a statement comes out of the flash's page slot.
  cmd_.Display.PageSource = [this](int n) {
    if (n < 1 || n > static_cast<int>(Trom::PageCount)) return std::string();
    const char* slot =
        reinterpret_cast<const char*>(flash_.Image.data()) + Trom::PageSlots + (n - 1) * Trom::PageSlotSize;
    return std::string(slot, strnlen(slot, Trom::PageSlotSize));
  };
  cmd_.Display.ReloadFontHeader();
  cmd_.RunStatement("CLS(0)");
}

void DisplayEmulator::Draw(const std::string& statement) {
  if (flashChanged_) {
    cmd_.Display.ReloadFontHeader();
    flashChanged_ = false;
  }
  cmd_.RunStatement(statement);
  drew_ = true;
  if (StatementRun) StatementRun(statement);
}

std::string DisplayEmulator::InfoLine() const {
  const char* code = options_.MemoryMb == 2   ? "14"
                     : options_.MemoryMb == 4 ? "15"
                     : options_.MemoryMb == 8 ? "16"
                                              : "17";
  char size[32];
  std::snprintf(size, sizeof size, "LCD%03dX%03d", options_.Width, options_.Height);
  return "SN:" + options_.Serial + " TP:R " + size + " BL:100 V" + options_.Firmware + " SD:0 EF40" + code + "\r\n";
}

bool DisplayEmulator::Roll(double rate) {
  if (rate <= 0) return false;
  const Faults& f = options_.InjectedFaults;
  if (f.Max >= 0 && Counts.Faults >= f.Max) return false;
  if (std::uniform_real_distribution<double>(0, 1)(random_) >= rate) return false;
  ++Counts.Faults;
  return true;
}

void DisplayEmulator::Answer(std::string text, std::vector<Reply>& out) {
  const Faults& f = options_.InjectedFaults;
  if (Roll(f.Lost)) return;
  out.push_back({std::move(text), Roll(f.Stall) ? f.StallMs : 0});
}

std::vector<DisplayEmulator::Reply> DisplayEmulator::Feed(std::string_view bytes, int64_t nowMs) {
  std::vector<Reply> out;
  if (hungUp_) return out;
  if (dataMode_ && nowMs - lastByteMs_ >= DataGapMs) {
    dataMode_ = false;
    data_.clear();
  }
  lastByteMs_ = nowMs;
  for (size_t i = 0; i < bytes.size() && !hungUp_; ++i) {
    if (dataMode_) {
      const size_t take = std::min(bytes.size() - i, 1024 - data_.size());
      data_.append(bytes.substr(i, take));
      i += take - 1;
      if (data_.size() == 1024) Block(out);
      continue;
    }
    if (bytes[i] != '\r') {
      if (line_.size() < 65536) line_ += bytes[i];
      continue;
    }
    std::string line;
    line.swap(line_);
    drew_ = false;
    SplitStatementList(line + ";", [&](const std::string& statement) {
      if (!dataMode_) Statement(statement, out);
    });
    if (drew_ && ScreenChanged) ScreenChanged();
  }
  return out;
}

void DisplayEmulator::Statement(const std::string& statement, std::vector<Reply>& out) {
  const std::string name = StatementName(statement);
  cmd_.BeginReading(statement, static_cast<int32_t>(name.size()) + 2);
  const uint32_t flashBytes = FlashBytes();
  if (name == "INF") {
    out.push_back({InfoLine(), 0});
  } else if (name == "USET") {
    const int32_t index = cmd_.ReadNumber();
    out.push_back({"OK\r\n", 0});
    if (index >= 0 && index < 8) baud_ = kRates[index];
  } else if (name == "RCPG") {
    const int64_t first = cmd_.ReadNumber();
    const int64_t count = cmd_.ReadNumber();
    std::string reply = "RCPG=";
    for (int64_t s = first; s < first + count && s * 4096 < flashBytes; ++s)
      reply += Hex(static_cast<uint32_t>(s)) + "," + Hex(flash_.BlockChecksum(static_cast<uint32_t>(s))) + "|";
    out.push_back({reply + "=OK\r\n", 0});
  } else if (name == "BUP") {
    dataPage_ = cmd_.ReadNumber();
    dataSum_ = cmd_.ReadNumber();
    dataMode_ = true;
    data_.clear();
    Answer("OK\r\n", out);
  } else if (name == "EMEM") {
    const int64_t sector = cmd_.ReadNumber();
    if (sector * 4096 + 4096 <= flashBytes)
      std::fill_n(flash_.Image.begin() + static_cast<ptrdiff_t>(sector * 4096), 4096, uint8_t{0xFF});
    flashChanged_ = true;
    ++Counts.Erased;
    Answer("OK\r\n", out);
  } else if (name == "SEND") {
    cmd_.ReadText();
    out.push_back({cmd_.LastText, 0});
  } else {
    Draw(statement);
  }
}

void DisplayEmulator::Block(std::vector<Reply>& out) {
  dataMode_ = false;
  const Faults& f = options_.InjectedFaults;
  ++Counts.Blocks;
  if (f.HangupAfter >= 0 && Counts.Blocks > f.HangupAfter) {
    hungUp_ = true;
    return;
  }
  std::string block;
  block.swap(data_);
  if (Roll(f.Corrupt)) block[std::uniform_int_distribution<size_t>(0, 1023)(random_)] ^= 0x5A;
  for (size_t j = 0; j < block.size(); ++j) block[j] = static_cast<char>(block[j] ^ (j & 0xFF));
  const int sum = static_cast<uint8_t>(block[1022]) + static_cast<uint8_t>(block[1023]);
  if (sum != dataSum_ || Roll(f.Again)) {
    Answer("OKOK", out);
    return;
  }
  const int64_t address = static_cast<int64_t>(dataPage_) * 256;
  if (address + 1024 <= FlashBytes()) {
    std::copy(block.begin(), block.end(), flash_.Image.begin() + static_cast<ptrdiff_t>(address));
    ++Counts.Written;
    flashChanged_ = true;
  }
  Answer("W OK", out);
}

}  // namespace panelcraft::emu
