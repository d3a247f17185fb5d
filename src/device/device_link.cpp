#include "device/device_link.h"

#include <charconv>
#include <optional>

#include "app/global.h"
#include "app/text.h"
#include "device/device_info.h"
#include "device/transport.h"

namespace panelcraft {

namespace {

const char kQuery[] = ";INF;\r";
const char kFastBaud[] = ";USET(6);\r";

// A strict integer: optional sign and decimal digits, nothing else.
std::optional<int32_t> StrictInt(std::string_view text) {
  int32_t value = 0;
  const char* begin = text.data();
  const char* end = text.data() + text.size();
  if (begin != end && *begin == '+') ++begin;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end || begin == end) return std::nullopt;
  return value;
}

}  // namespace

DeviceLink::DeviceLink(Tglobal& global, Transport& port, Clock& clock) : g(global), Port(port), Time(clock) {
  Log.push_back(Gbk("连接日志:"));
  Port.Received = [this](std::string_view block) { Dispatch(block); };
  g.ClosePort = [this] { Port.Close(); };
}

DeviceLink::~DeviceLink() {
  g.ClosePort = nullptr;
  Port.Close();
  Port.Received = nullptr;
}

void DeviceLink::Dispatch(std::string_view block) {
  g.ReceiveBuffer.Append(block);
  if (g.ReceiveRoute == 1 && ConsoleReceived) ConsoleReceived(block);
}

void DeviceLink::SendBytes(std::string_view bytes) { Port.SendBytes(bytes); }

void DeviceLink::AddLog(const std::string& line) {
  Log.push_back(line);
  if (LogAdded) LogAdded(line);
}

bool DeviceLink::BeginJob() {
  bool expected = false;
  if (busy_.compare_exchange_strong(expected, true)) return true;
  g.Messages.Show(Gbk("正在通讯中，请等待当前的连接或上传结束!"));
  return false;
}

void DeviceLink::EndJob() { busy_ = false; }

int32_t DeviceLink::ReadIntervalFrom(int32_t delay) {
  if (delay >= 1) return delay;
  // With no interval the port would hand over only full 4096-byte blocks and
  // no short reply would ever be seen.
  AddLog(Gbk("延时值") + std::to_string(delay) + Gbk("ms无效，按3ms使用"));
  return Transport::DefaultReadInterval;
}

void DeviceLink::FillPortList() {
  PortList = SortedPortNames(Port.SystemPortNames());
  if (PortList.empty()) {
    PortList.push_back(Gbk("无串口"));
    PortText = PortList.front();
    return;
  }
  PortText = PortList.front();
  BaudChoice = FastBaud;
}

bool DeviceLink::QueryDevice(bool patient) {
  AddLog(Gbk("发送:") + kQuery);
  g.ReceiveBuffer.Clear();
  SendBytes(kQuery);
  const int64_t period = patient ? PatientPeriodMs : QuickPeriodMs;
  // The reply is complete after one whole period without a new block.
  do {
    g.ReceiveBuffer.ClearReceivedFlag();
    WaitMs(Time, g.ReceiveBuffer, period);
  } while (g.ReceiveBuffer.ReceivedFlag());
  const std::string reply = g.ReceiveBuffer.Text();
  AddLog(reply);
  g.ReceiveBuffer.Clear();
  if (reply.empty()) return false;
  if (reply.starts_with("SN")) {
    ParseDeviceInfo(reply, g.Rom);
    if (CompareVersion(g.Rom.FirmwareText, 5, 5) == 1) {
      g.Messages.Show(Gbk("当前版本的Panelcraft只支持V5.5+的串口屏,您当前连接的设备是") + g.Rom.FirmwareText +
                      Gbk(";请按照说明书进行升级后再使用新版Panelcraft);"));
      return false;
    }
    return true;
  }
  return reply.starts_with("OK");
}

void DeviceLink::ForceFastBaud() {
  if (g.LinkState == 0 || Port.Baud() == FastBaud || KeepRate) return;
  AddLog(Gbk("发送:") + kFastBaud);
  g.ReceiveBuffer.Clear();
  g.ReceiveBuffer.ClearReceivedFlag();
  SendBytes(kFastBaud);
  WaitMs(Time, g.ReceiveBuffer, 100);
  const std::string name = PortText;
  Port.Close();
  const std::string error = Port.Open(name, FastBaud);
  if (!error.empty()) {
    // The display already runs at 115200; without the port there is no link.
    g.Messages.Show(error);
    Disconnect();
    return;
  }
  AddLog(Gbk("强制串口到115200传输!"));
}

bool DeviceLink::AutoSearch() {
  Job job(*this);
  if (!job) return false;
  const int32_t interval = ReadIntervalFrom(IntOrZero(DelayText));
  Port.SetReadInterval(interval);
  if (g.LinkState == 1) {
    g.Messages.Show(Gbk("请先关闭串口!"));
    return false;
  }
  FillPortList();
  for (const std::string& name : PortList) {
    for (const int32_t baud : BaudRates) {
      AddLog(Gbk("测试") + name + " @ " + std::to_string(baud));
      const std::string error = Port.Open(name, baud);
      if (!error.empty()) {
        AddLog(name + Gbk("连接不上!"));
        break;
      }
      if (QueryDevice(false)) {
        AddLog(Gbk("发现串口屏!"));
        PortText = name;
        BaudChoice = baud;
        g.LinkState = 1;
        UpdateLinkButtons();
        ForceFastBaud();
        g.Messages.Show(Gbk("发现串口屏!"));
        g.Refresh();
        if (ShowConsole) ShowConsole();
        return g.LinkState == 1;
      }
      Port.Close();
    }
  }
  AddLog(Gbk("没有发现串口屏!"));
  return false;
}

bool DeviceLink::ManualConnect() {
  Job job(*this);
  if (!job) return false;
  const std::optional<int32_t> delay = StrictInt(DelayText);
  if (!delay) {
    g.Messages.Show("'" + DelayText + Gbk("' 不是有效的整数"));
    return false;
  }
  if (g.LinkState != 0) {
    Port.Close();
    g.LinkState = 0;
    UpdateLinkButtons();
    ConnectingShown = false;
    return false;
  }
  Port.SetReadInterval(ReadIntervalFrom(*delay));
  ConnectingShown = true;
  const std::string error = Port.Open(PortText, BaudChoice);
  if (!error.empty()) {
    g.Messages.Show(error);
    ConnectingShown = false;
    return false;
  }
  if (QueryDevice(true)) {
    g.LinkState = 1;
    ForceFastBaud();
    UpdateLinkButtons();
    g.Refresh();
    if (ShowConsole) ShowConsole();
    ConnectingShown = false;
    return g.LinkState == 1;
  }
  Port.Close();
  g.LinkState = 0;
  g.Messages.Show(Gbk("未发现该串口连接有Lumetra串口屏!"));
  UpdateLinkButtons();
  ConnectingShown = false;
  return false;
}

void DeviceLink::LineTest() {
  Job job(*this);
  if (!job) return;
  g.Messages.Show(
      Gbk("错误检测是指无法正常连通的情况下,看屏显示信息确认发送是否正常,以及看连接日志的反馈确认接受是否正常的一种检"
          "测手段,点击OK后开始检测!"));
  if (g.LinkState == 1) {
    Port.Close();
    g.LinkState = 0;
    UpdateLinkButtons();
  }
  const std::string error = Port.Open(PortText, BaudChoice);
  if (!error.empty()) {
    g.Messages.Show(error);
    return;
  }
  g.LinkState = 1;
  WaitMs(Time, g.ReceiveBuffer, 200);
  g.ReceiveBuffer.Clear();
  g.ReceiveBuffer.ClearReceivedFlag();
  SendBytes(
      Gbk("CLS(0);BS12(0,0,219,4,'如果您看到此信息表示TTL线的TX到串口屏的RX线路正常!同时请关注连接日志的反馈提示!',"
          "15);SEND('如果您看到此信息表示TTL线的RX端与串口屏的TX端线路正常,串口屏连接正常!');\r"));
  WaitMs(Time, g.ReceiveBuffer, 200);
  AddLog(g.ReceiveBuffer.Text());
  Port.Close();
  g.LinkState = 0;
  UpdateLinkButtons();
}

void DeviceLink::Disconnect() {
  Port.Close();
  g.LinkState = 0;
  UpdateLinkButtons();
}

void DeviceLink::UpdateLinkButtons() {
  if (g.MenusChanged) g.MenusChanged();
  if (LinkButtonsChanged) LinkButtonsChanged();
}

std::string DeviceLink::Button2Caption() const { return Gbk(g.LinkState != 0 ? "断开" : "手动连接"); }

bool DeviceLink::Button1Enabled() const { return g.LinkState == 0; }

}  // namespace panelcraft
