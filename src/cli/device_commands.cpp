// ports, connect, send, linetest, upload: the serial link from the command
// line, through the same connection and upload steps as the windows.
#include <unistd.h>

#include <iostream>
#include <memory>

#include "app/text.h"
#include "cli/cli.h"
#include "device/device_link.h"
#include "device/serial/qt_serial_transport.h"
#include "device/upload.h"
#include "pages/page_console.h"

namespace panelcraft::cli {

namespace {

// A log line for the terminal: the line ends the protocol keeps in its log
// lines (";INF;" CR, the display's CR LF) are dropped.
std::string LogLine(std::string_view gbk) {
  while (!gbk.empty() && (gbk.back() == '\r' || gbk.back() == '\n')) gbk.remove_suffix(1);
  return Show(gbk);
}

struct Link {
  QtSerialTransport port;
  SteadyClock clock;
  DeviceLink link;
  Link(Context& c, bool printLog) : link(c.g, port, clock) {
    if (printLog) link.LogAdded = [&c](const std::string& line) { c.out << LogLine(line) << "\n" << std::flush; };
  }
};

struct LinkOptions {
  std::optional<std::string> port, baud, delay;
  bool automatic = false, keepRate = false;
  void Take(Args& args, bool allowAuto) {
    port = args.Option("--port");
    baud = args.Option("--baud");
    delay = args.Option("--delay");
    keepRate = args.Flag("--keep-rate");
    if (allowAuto) automatic = args.Flag("--auto");
  }
};

int32_t BaudArg(const std::string& text) {
  const int32_t baud = IntOrZero(text);
  if (baud <= 0) throw UsageError("--baud needs a rate such as 115200");
  return baud;
}

// Connects as the connection window does: the automatic search, or the
// manual connection on the given (else the first) port.
bool Connect(Link& l, const LinkOptions& o) {
  if (o.delay) l.link.DelayText = ArgToGbk(*o.delay);
  l.link.KeepRate = o.keepRate;
  if (o.automatic) return l.link.AutoSearch();
  l.link.FillPortList();
  if (o.port) l.link.PortText = ArgToGbk(*o.port);
  if (o.baud) l.link.BaudChoice = BaudArg(*o.baud);
  return l.link.ManualConnect();
}

void PrintFacts(Context& c, Link& l) {
  const Trom& rom = c.g.Rom;
  c.out << "port: " << Show(l.link.PortText) << " at " << l.port.Baud() << " baud (found at " << l.link.BaudChoice
        << ")\nserial number: " << Show(rom.SerialNumber) << "\nscreen: " << rom.ScreenWidth << " x "
        << rom.ScreenHeight << "\nmemory: " << rom.MemorySize << " MB\nfirmware: " << Show(rom.FirmwareText) << " ("
        << rom.FirmwareVersion << ")\n";
}

// Reads replies until a whole period passes without new bytes.
std::string QuietRead(Link& l, Tglobal& g, int64_t periodMs) {
  do {
    g.ReceiveBuffer.ClearReceivedFlag();
    WaitMs(l.clock, g.ReceiveBuffer, periodMs);
  } while (g.ReceiveBuffer.ReceivedFlag());
  return g.ReceiveBuffer.Text();
}

}  // namespace

int PortsCommand(Context& c, Args args) {
  args.Done();
  QtSerialTransport port;
  const std::vector<std::string> names = SortedPortNames(port.SystemPortNames());
  for (const std::string& name : names) c.out << Show(name) << "\n";
  if (names.empty()) c.out << Show(Gbk("无串口")) << "\n";
  return 0;
}

int ConnectCommand(Context& c, Args args) {
  LinkOptions o;
  o.Take(args, true);
  args.Done();
  RequireProject(c);
  Link l(c, true);
  if (!Connect(l, o)) throw Failed();
  PrintFacts(c, l);
  return 0;
}

int SendCommand(Context& c, Args args) {
  LinkOptions o;
  o.Take(args, true);
  const auto wait = args.Option("--wait");
  const auto tool = args.Option("--tool");
  std::optional<std::string> text;
  if (!tool) text = ArgToGbk(args.Next("TEXT"));
  args.Done();
  RequireProject(c);
  static const std::pair<const char*, PageConsole::Tool> kTools[] = {
      {"clear", PageConsole::Tool::ClearScreen},
      {"brightest", PageConsole::Tool::Brightest},
      {"touch-calibration", PageConsole::Tool::TouchCalibration},
      {"touch-test", PageConsole::Tool::TouchDrawTest},
      {"touch-info", PageConsole::Tool::TouchInfo},
      {"sd-picture", PageConsole::Tool::SdPicture},
      {"terminal", PageConsole::Tool::Terminal}};
  std::optional<PageConsole::Tool> chosen;
  for (const auto& [name, t] : kTools)
    if (tool && *tool == name) chosen = t;
  if (tool && !chosen)
    throw UsageError("--tool is clear, brightest, touch-calibration, touch-test, touch-info, sd-picture or terminal");
  const int64_t period = wait ? IntOrZero(*wait) : 300;
  if (period <= 0) throw UsageError("--wait needs milliseconds");

  Link l(c, false);
  if (!Connect(l, o)) throw Failed();
  PageConsole console(c.g);
  console.FormShow();
  console.ReceiveLog.clear();
  console.SendBytes = [&](std::string_view bytes) { l.link.SendBytes(bytes); };
  if (chosen) {
    console.SendTool(*chosen);
  } else {
    console.EditorText = *text;
    console.SendEditor();
  }
  c.out << LogLine(console.ReceiveLog) << "\n";
  c.out << Show(QuietRead(l, c.g, period)) << "\n";
  return 0;
}

int LineTestCommand(Context& c, Args args) {
  const auto port = args.Option("--port");
  const auto baud = args.Option("--baud");
  args.Done();
  if (!port || !baud) throw UsageError("linetest needs --port and --baud");
  c.messages.Answer = true;
  Link l(c, true);
  l.link.PortText = ArgToGbk(*port);
  l.link.BaudChoice = BaudArg(*baud);
  l.link.LineTest();
  return 0;
}

int UploadCommand(Context& c, Args args) {
  LinkOptions o;
  o.Take(args, true);
  const bool fonts = args.Flag("--fonts"), pages = args.Flag("--pages"), pictures = args.Flag("--pictures");
  const bool all = args.Flag("--all");
  const bool force = args.Flag("--force");
  args.Done();
  if (all + fonts + pages + pictures > 1) throw UsageError("choose one of --all, --fonts, --pages, --pictures");
  RequireProject(c);
  Link l(c, true);
  if (!Connect(l, o)) throw Failed();

  Upload upload(c.g, l.link);
  upload.Force = force;
  upload.LogAdded = [&c](const std::string& line) { c.out << LogLine(line) << "\n" << std::flush; };
  const bool terminal = ::isatty(STDERR_FILENO);
  upload.Changed = [&] {
    if (!terminal || upload.Counts.Total == 0) return;
    const auto& n = upload.Counts;
    const uint32_t done = n.Sent + n.Erased + n.Skipped;
    const int width = 40;
    const int filled = static_cast<int>(static_cast<uint64_t>(done) * width / n.Total);
    std::cerr << "\r[" << std::string(static_cast<size_t>(filled), '#')
              << std::string(static_cast<size_t>(width - filled), '.') << "] " << done << "/" << n.Total << "  sent "
              << n.Sent << "  erased " << n.Erased << "  skipped " << n.Skipped << std::flush;
  };
  const bool done = fonts      ? upload.UploadFonts()
                    : pages    ? upload.UploadPages()
                    : pictures ? upload.UploadPictures()
                               : upload.Sync();
  if (terminal) std::cerr << "\n";
  const auto& n = upload.Counts;
  c.out << "sectors: " << n.Sent << " sent, " << n.Erased << " erased, " << n.Skipped << " skipped of " << n.Total
        << "\n";
  return done ? 0 : 1;
}

}  // namespace panelcraft::cli
