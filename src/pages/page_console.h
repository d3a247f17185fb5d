// PageConsole: the logic of the page console ("批界面编辑/命令发送") without its
// window: choosing and storing pages, importing pages of the old file format,
// the bytes the console sends over the serial link and the received-data log.
// The window mirrors the text fields below and calls these operations; the
// serial link plugs in through SendBytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace panelcraft {

class Tglobal;

// Room for a page's statements (CR and LF not counted): 1023 bytes, less the
// "U" + baud index + ";" that page 1's slot holds before them while the baud
// index is not 6 (115200).
int32_t PageByteLimit(int n, int32_t baudIndex);

class PageConsole {
 public:
  static constexpr size_t DisplayBufferBytes = 1024;  // the display's receive buffer
  static constexpr size_t LogLimit = 4024;            // the log is trimmed past this

  // The console's tool buttons that send a fixed text.
  enum class Tool { ClearScreen = 2, Brightest, TouchCalibration, TouchDrawTest, TouchInfo, SdPicture, Terminal };

  explicit PageConsole(Tglobal& g);

  // Window state (GBK texts).
  int CurrentPageNumber = 0;  // 0 until a page is chosen
  std::string EditorText;
  std::string NameField;
  std::string NumberLabel = "---";
  std::string ReceiveLog = "rxmemo";

  // Hands bytes to the serial link; while empty (no port) nothing is sent.
  std::function<void(std::string_view bytes)> SendBytes;

  // The console comes to the front: the page list is refilled from the store
  // and the console becomes the receive target.
  void FormShow();

  // A click on page list entry index (0..127); others are ignored.
  void ChoosePage(int index);

  // "存入批界面": stores the editor text and the name field as the current page,
  // writes its slot and rebuilds the image. Returns whether it was stored.
  bool StorePage();

  // The question before an import; true for Yes.
  bool ConfirmImport();
  struct ImportReport {
    std::vector<int> Imported;         // page numbers
    std::vector<std::string> Skipped;  // one GBK line per page left out, with the reason
  };
  // Imports "Page" + n + ".str" (n = 1..127) from the folder of `page1File`,
  // the chosen Page1.str; none (the dialog was cancelled) imports nothing.
  // The image is rebuilt either way. Skipped pages are also reported to the
  // user in one message.
  ImportReport ImportOldPages(const std::optional<std::filesystem::path>& page1File);

  // "串口发送": the editor text without line breaks, followed by CR.
  std::string EditorSendText() const;
  // The text a tool button sends, its CR included.
  std::string ToolSendText(Tool tool) const;
  // Sends text (CR included): refuses while no display is connected, warns
  // when it is longer than the display's buffer and sends it all the same,
  // logs it, empties ReceiveBuffer and hands it to SendBytes. Returns whether
  // it went out.
  bool SendStatementText(const std::string& text);
  bool SendEditor() { return SendStatementText(EditorSendText()); }
  bool SendTool(Tool tool) { return SendStatementText(ToolSendText(tool)); }

  // Received bytes, while the console is the receive target.
  void AppendReceived(std::string_view bytes);

 private:
  void AddLogLine(std::string_view line);
  // Writes page n into the store, the page list and its ROM slot.
  void PutPage(int n, std::string_view name, std::string_view content);
  // The message for statements too long for page n, or empty when they fit.
  std::string LimitMessage(int n, std::string_view plain) const;

  Tglobal& g_;
};

}  // namespace panelcraft
