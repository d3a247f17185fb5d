#include "device/upload.h"

#include <algorithm>

#include "app/global.h"
#include "app/text.h"
#include "device/device_link.h"
#include "device/transport.h"

namespace panelcraft {

namespace {

constexpr std::string_view kChecksumEnd = "|=OK";
constexpr std::string_view kWritten = "W OK";
constexpr std::string_view kAgain = "OKOK";
constexpr size_t kLongestAnswer = 6;
constexpr int kFillerRepeats = 10;

// "NOPA" 30 times and CR: after "OKOK" it completes whatever block the
// display may still be waiting for.
std::string Filler() {
  std::string text;
  for (int i = 0; i < 30; ++i) text += "NOPA";
  return text + "\r";
}

int HexDigit(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  if (ch >= 'A' && ch <= 'F') return ch - 'A' + 10;
  return -1;
}

// Reads hexadecimal digits at `at`, keeping the low 32 bits; returns the
// value and advances `at` past the digits.
uint32_t ReadHex(std::string_view text, size_t& at) {
  uint32_t value = 0;
  for (int d; at < text.size() && (d = HexDigit(text[at])) >= 0; ++at) value = value << 4 | static_cast<uint32_t>(d);
  return value;
}

}  // namespace

Upload::Upload(Tglobal& g, DeviceLink& link)
    : DeviceChecksums(TableSize, 0),
      LocalChecksums(TableSize, 0),
      SectorStates(TableSize, Outside),
      g_(g),
      link_(link) {}

void Upload::AddLog(const std::string& line) {
  Log.push_back(line);
  if (LogAdded) LogAdded(line);
}

void Upload::Notify() {
  if (Changed) Changed();
}

void Upload::SetCell(uint32_t s, CellState state) {
  if (s < GridCells) Grid[s] = state;
  Notify();
}

void Upload::NoReply() {
  g_.Messages.Show(Gbk("您的串口无法收到回复数据,请检查连接或者在连接界面增大延时值，然后重新连接串口再次上传!"));
  link_.Disconnect();
}

bool Upload::WaitFor(const std::function<bool()>& ready, int64_t timeoutMs) {
  return link_.Time.WaitUntil(g_.ReceiveBuffer, ready, link_.Time.NowMs() + timeoutMs);
}

void Upload::FormShow() { g_.ReceiveRoute = 2; }

bool Upload::Sync() { return RunButton(Button::Sync); }
bool Upload::UploadFonts() { return RunButton(Button::Fonts); }
bool Upload::UploadPages() { return RunButton(Button::Pages); }
bool Upload::UploadPictures() { return RunButton(Button::Pictures); }

bool Upload::RunButton(Button button) {
  DeviceLink::Job job(link_);
  if (!job) return false;
  g_.Refresh();
  if (!g_.LastBuildOk) {
    // The image of a failed build holds no pages and no placed fonts;
    // sending it would erase them on the display.
    AddLog(Gbk("工程数据生成失败，没有上传!"));
    g_.StopRequest = true;
    return false;
  }
  if (g_.LinkState == 0) {
    g_.Messages.Show(Gbk("串口没有连接!"));
    if (button != Button::Sync) g_.StopRequest = true;
    return false;
  }
  g_.StopRequest = false;
  const auto& region = g_.Rom.RegionTable;
  switch (button) {
    case Button::Sync:
      HeaderSectorSent = false;
      return UploadRange(16, g_.Rom.MemorySize * 4096 - 16);
    case Button::Fonts:
      return UploadRange(region[1], region[2] - region[1]) && !g_.StopRequest &&
             UploadRange(region[6], region[7] - region[6]);
    case Button::Pages:
      return UploadRange(region[7], region[8] - region[7]);
    case Button::Pictures:
      return UploadRange(region[2], region[3] - region[2]) && !g_.StopRequest &&
             UploadRange(region[8], static_cast<int32_t>(g_.Rom.PictureEnd / 256) - region[8]);
  }
  return false;
}

bool Upload::UploadRange(int32_t firstPage, int32_t pageCount) {
  if (g_.LinkState == 0) {
    g_.Messages.Show(Gbk("串口没有连接!"));
    g_.StopRequest = true;
    return false;
  }
  StopButtonEnabled = true;
  Status = Gbk("正在获取信息....");
  Notify();
  // Whole sectors, within the image.
  const int64_t first = std::clamp<int64_t>(firstPage / static_cast<int32_t>(PagesPerSector), 0, Trom::BlockCount);
  const int64_t count =
      std::clamp<int64_t>(pageCount / static_cast<int32_t>(PagesPerSector), 0, Trom::BlockCount - first);
  Counts = Progress{static_cast<uint32_t>(count), 0, 0, 0};

  // An empty range (no picture data, say) has nothing to ask for: the
  // display would answer without any entry and never send "|=OK".
  if (count > 0) {
    const std::string q = ";RCPG(" + std::to_string(first) + "," + std::to_string(count) + ");\r";
    AddLog("Send:" + q);
    g_.ReceiveBuffer.Clear();
    link_.SendBytes(q);
    const int64_t start = link_.Time.NowMs();
    WaitFor([&] { return g_.StopRequest || g_.ReceiveBuffer.Contains(kChecksumEnd); }, ChecksumTimeoutMs);
    if (g_.StopRequest) {
      Status.clear();
      StopButtonEnabled = false;
      Notify();
      return false;
    }
    AddLog("msec:" + std::to_string(link_.Time.NowMs() - start));
    const std::string reply = g_.ReceiveBuffer.Text();
    if (reply.empty()) {
      NoReply();
      StopButtonEnabled = false;
      Status.clear();
      Notify();
      return false;
    }
    AddLog("rec:" + reply);
    ParseChecksumReply(reply);
    CompareAllSectors();
    Status = Gbk("上传中......");
    DrawSectorGrid(static_cast<uint32_t>(first), static_cast<uint32_t>(first + count - 1));
  }

  for (int64_t i = 0; i < count; ++i) {
    const auto s = static_cast<uint32_t>(first + i);
    if (g_.StopRequest) return false;
    if (g_.Rom.BlockChecksum(s) == DeviceChecksums[s] && !Force) {
      ++Counts.Skipped;
    } else if (g_.Rom.IsBlockEmpty(s)) {
      const std::string e = ";EMEM(" + std::to_string(s) + ");\r";
      AddLog("Send:" + e);
      g_.ReceiveBuffer.Clear();
      link_.SendBytes(e);
      if (!WaitFor([&] { return !g_.ReceiveBuffer.Empty(); }, EraseTimeoutMs)) {
        NoReply();
        return false;
      }
      AddLog(g_.ReceiveBuffer.Text());
      ++Counts.Erased;
    } else {
      int resends = 0;
      for (;;) {
        again_ = false;
        if (SendSector(s) || g_.StopRequest) break;
        if (again_ && ++resends >= ResendLimit) {
          // A line that garbles every try would otherwise resend forever.
          g_.Messages.Show(Gbk("第") + std::to_string(s) + Gbk("扇区连续") + std::to_string(ResendLimit) +
                           Gbk("次校验错误,传输中止,请检查连接或者增大延时值后再次上传!"));
          g_.StopRequest = true;
          break;
        }
      }
      if (g_.StopRequest) return false;
      ++Counts.Sent;
    }
    SetCell(s, Done);
  }
  g_.Messages.Show(HeaderSectorSent ? Gbk("上传完成! 您修改了串口屏的内存分区配置，需要重启(断电)配置才能生效！")
                                    : Gbk("上传完成!"));
  StopButtonEnabled = false;
  Status.clear();
  Notify();
  return true;
}

bool Upload::SendSector(uint32_t s) {
  if (g_.LinkState == 0) {
    g_.Messages.Show(Gbk("串口没有连接!"));
    g_.StopRequest = true;
    return true;
  }
  if (s >= Trom::BlockCount) return true;
  if (s == 1) HeaderSectorSent = true;
  for (uint32_t k = 0; k < 4; ++k) {
    const uint32_t page = s * PagesPerSector + k * 4;
    const uint8_t* block = g_.Rom.Image.data() + static_cast<size_t>(page) * 256;
    const int sum = block[1022] + block[1023];
    g_.ReceiveBuffer.Clear();
    link_.SendBytes(";BUP(" + std::to_string(page) + "," + std::to_string(sum) + ");\r");
    std::string encoded(1024, '\0');
    for (size_t j = 0; j < encoded.size(); ++j) encoded[j] = static_cast<char>(block[j] ^ (j & 0xFF));
    if (!WaitFor([&] { return !g_.ReceiveBuffer.Empty(); }, StatementTimeoutMs)) {
      NoReply();
      return false;
    }
    g_.ReceiveBuffer.Clear();
    link_.SendBytes(encoded);
    enum { None, Again, Written } answer = None;
    WaitFor(
        [&] {
          if (g_.StopRequest) return true;
          const std::string text = g_.ReceiveBuffer.Text();
          if (text.find(kAgain) != std::string::npos)
            answer = Again;
          else if (text.find(kWritten) != std::string::npos)
            answer = Written;
          else
            return text.size() > kLongestAnswer;
          return true;
        },
        BlockTimeoutMs);
    if (g_.StopRequest) return true;
    if (answer == None) {
      NoReply();
      return false;
    }
    if (answer == Again) {
      const std::string filler = Filler();
      for (int i = 0; i < kFillerRepeats; ++i) link_.SendBytes(filler);
      WaitMs(link_.Time, g_.ReceiveBuffer, AgainPauseMs);
      again_ = true;
      return false;
    }
  }
  return true;
}

void Upload::ParseChecksumReply(std::string_view text) {
  const size_t equals = text.find('=');
  size_t p = equals == std::string_view::npos ? 0 : equals + 1;
  for (;;) {
    const uint32_t n = ReadHex(text, p);
    ++p;  // the separator, whatever it is
    const uint32_t v = ReadHex(text, p);
    if (p >= text.size() || text[p] != '|') {
      g_.Messages.Show(Gbk("数据接收错误!"));
      return;
    }
    ++p;
    // A reply may name sectors the tables do not have: those are passed over.
    if (n < TableSize) DeviceChecksums[n] = v;
    if (p < text.size() && text[p] == '=') return;
  }
}

void Upload::CompareAllSectors() {
  const uint32_t sectors = static_cast<uint32_t>(std::clamp(g_.Rom.MemorySize, 1, 16)) * 256;
  for (uint32_t s = 0; s < sectors; ++s) {
    LocalChecksums[s] = g_.Rom.BlockChecksum(s);
    SectorStates[s] = static_cast<uint8_t>(LocalChecksums[s] == DeviceChecksums[s] ? Same : Differs);
  }
}

void Upload::DrawSectorGrid(uint32_t first, uint32_t last) {
  for (uint32_t c = 0; c < GridCells; ++c)
    Grid[c] = c < first || c > last ? static_cast<uint8_t>(Outside) : SectorStates[c];
  Notify();
}

}  // namespace panelcraft
