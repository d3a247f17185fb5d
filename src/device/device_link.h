// DeviceLink: the serial port of the main window and the logic of the
// connection window ("commcon") without its widgets: the receive dispatch,
// the information query, the automatic search over ports and rates, the
// manual connection and disconnection, the switch to 115200 baud and the
// line test. The window mirrors the fields below and calls the operations,
// on a worker thread, since every step blocks while it waits for the
// display.
//
// Threading: one job (a search, a connection, a line test or an upload) at a
// time; BeginJob refuses a second one. The transport calls Dispatch on its
// own thread; everything else runs on the job's thread.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace panelcraft {

class Clock;
class Tglobal;
class Transport;

class DeviceLink {
 public:
  static constexpr std::array<int32_t, 8> BaudRates{2400, 4800, 9600, 19200, 38400, 57600, 115200, 256000};
  static constexpr int32_t FastBaud = 115200;
  static constexpr int64_t PatientPeriodMs = 1200;
  static constexpr int64_t QuickPeriodMs = 300;

  DeviceLink(Tglobal& g, Transport& port, Clock& clock);
  ~DeviceLink();
  DeviceLink(const DeviceLink&) = delete;
  DeviceLink& operator=(const DeviceLink&) = delete;

  Tglobal& g;
  Transport& Port;
  Clock& Time;

  // Connection window state (GBK texts).
  std::vector<std::string> PortList;  // cbcomm's items
  std::string PortText;               // cbcomm's text; a typed name works
  int32_t BaudChoice = 115200;        // btl's chosen rate
  std::string DelayText = "3";        // ysz, ms
  bool KeepRate = false;              // qz115200: no switch to 115200
  std::vector<std::string> Log;       // Memo1, one entry per line; starts with "连接日志:"
  bool ConnectingShown = false;       // Label4

  // Hooks for the windows: a log line was added, the link buttons changed,
  // a display was found (the main window shows the console), received bytes
  // for the console's log while ReceiveRoute is 1.
  std::function<void(const std::string& line)> LogAdded;
  std::function<void()> LinkButtonsChanged;
  std::function<void()> ShowConsole;
  std::function<void(std::string_view bytes)> ConsoleReceived;

  // The receive dispatch: appends a block to ReceiveBuffer (which sets
  // ReceivedFlag) and hands it to the console while ReceiveRoute is 1.
  void Dispatch(std::string_view block);

  void SendBytes(std::string_view bytes);
  void FillPortList();
  // "自动连接": every port and rate until a display answers; true when found.
  bool AutoSearch();
  // "手动连接"/"断开": connects to PortText at BaudChoice, or ends the link
  // (also the offline design). True when a display was found.
  bool ManualConnect();
  // "错误检测": sends the line-test statements and logs what comes back.
  void LineTest();
  // Sends ";INF;" and judges the reply; patient waits 1200 ms periods, quick
  // ones 300 ms.
  bool QueryDevice(bool patient);
  void ForceFastBaud();
  void Disconnect();
  void UpdateLinkButtons();
  std::string Button2Caption() const;  // GBK
  bool Button1Enabled() const;

  // One job at a time: BeginJob returns false while one runs.
  bool BeginJob();
  void EndJob();
  bool Busy() const { return busy_; }
  class Job {
   public:
    explicit Job(DeviceLink& link) : link_(link), ok_(link.BeginJob()) {}
    ~Job() {
      if (ok_) link_.EndJob();
    }
    explicit operator bool() const { return ok_; }

   private:
    DeviceLink& link_;
    bool ok_;
  };

  void AddLog(const std::string& line);  // GBK
  // The read interval from the delay text; values below 1 ms (and texts that
  // are not numbers) are taken as 3 ms with a log line.
  int32_t ReadIntervalFrom(int32_t delay);

 private:
  std::atomic<bool> busy_{false};
};

}  // namespace panelcraft
