#include "pages/page_console.h"

#include <system_error>

#include "app/files.h"
#include "app/global.h"
#include "app/text.h"
#include "pages/statement_lines.h"

namespace panelcraft {

namespace {

// What page 1's slot holds before the statements while the display does not
// run at 115200 baud: the baud switch the display runs at power-on.
std::string SlotPrefix(int n, int32_t baudIndex) {
  return n == 1 && baudIndex != 6 ? "U" + std::to_string(baudIndex) + ";" : std::string();
}

// An old page file holds three short lines; anything far larger is not one.
constexpr int64_t kOldPageFileLimit = 1 << 20;

char AsciiLower(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

}  // namespace

int32_t PageByteLimit(int n, int32_t baudIndex) {
  return static_cast<int32_t>(Trom::PageSlotSize - 1 - SlotPrefix(n, baudIndex).size());
}

PageConsole::PageConsole(Tglobal& g) : g_(g) {
  EditorText = Gbk("DS12(0,0,'串口命令发送区，可以在此书写LMX命令，发送到屏',15);");
}

void PageConsole::FormShow() {
  g_.Pages.RebuildPageList(g_.Store);
  g_.ReceiveRoute = 1;
}

void PageConsole::ChoosePage(int index) {
  if (index < 0 || index >= PageList::PageCount) return;
  const int n = index + 1;
  CurrentPageNumber = n;
  NumberLabel = std::to_string(n);
  EditorText = FormatStatementLines(g_.Pages.PageContent(n));
  NameField = g_.Pages.PageName(n);
}

std::string PageConsole::LimitMessage(int n, std::string_view plain) const {
  if (plain.size() >= Trom::PageSlotSize) return Gbk("保存失败!语句超过1024字节,请减少!");
  const int32_t limit = PageByteLimit(n, g_.BaudIndex);
  if (static_cast<int64_t>(plain.size()) <= limit) return std::string();
  return Gbk("保存失败!波特率不是115200时第1页的存储区还要存放波特率设置\"") + SlotPrefix(n, g_.BaudIndex) +
         Gbk("\",第1页的语句不能超过") + std::to_string(limit) + Gbk("字节,请减少!");
}

void PageConsole::PutPage(int n, std::string_view name, std::string_view content) {
  g_.Store.Put(PageContentKey(n), content);
  g_.Pages.SetPage(n, name, content);
  g_.Rom.WritePage(n - 1, WithoutLineBreaks(content), g_.BaudIndex);
  g_.Store.Put(PageNameKey(n), name);
}

bool PageConsole::StorePage() {
  if (CurrentPageNumber == 0) {
    g_.Messages.Show(Gbk("您没有预先点击批界面序号按钮,已确定修改的批界面编号,当前语句属于临时使用,无法存储!"));
    return false;
  }
  const int n = CurrentPageNumber;
  const std::string message = LimitMessage(n, WithoutLineBreaks(EditorText));
  if (!message.empty()) {
    g_.Messages.Show(message);
    return false;
  }
  PutPage(n, NameField, EditorText);
  // The refresh rebuilds the image itself while a project is open.
  if (!g_.ProjectOpen()) g_.RebuildImage();
  g_.Refresh();
  return true;
}

bool PageConsole::ConfirmImport() {
  return g_.Messages.Ask(Gbk("导入老版本批界面数据将清除现在正在设计的所有批界面数据,请确定是否继续导入老版本数据!"));
}

PageConsole::ImportReport PageConsole::ImportOldPages(const std::optional<std::filesystem::path>& page1File) {
  ImportReport report;
  const std::string fileName = page1File ? TextFromPath(page1File->filename()) : std::string();
  if (page1File && !EqualsIgnoringCase(fileName, "page1.str")) {
    // Every page's file name is made from this one: any other name would
    // import the same file into every page.
    report.Skipped.push_back(Gbk("所选文件不是Page1.str: ") + TextFromPath(*page1File));
  } else if (page1File) {
    for (int n = 1; n < PageList::PageCount; ++n) {
      // Same case as the chosen file: "Page1.str" gives "Page7.str".
      const std::string name = fileName.substr(0, 4) + std::to_string(n) + fileName.substr(5);
      const std::filesystem::path file = page1File->parent_path() / PathFromText(name);
      std::error_code ec;
      if (!std::filesystem::is_regular_file(file, ec)) continue;
      std::vector<std::string> lines;
      if (FileSizeOrMinusOne(file) > kOldPageFileLimit) {
        report.Skipped.push_back(name + Gbk(": 文件太大,不是老版本批界面数据,没有导入"));
        continue;
      }
      try {
        lines = SplitLines(ReadFileBytes(file));
      } catch (const FileError& e) {
        report.Skipped.push_back(e.what());
        continue;
      }
      if (lines.size() < 3) {
        report.Skipped.push_back(name + Gbk(": 少于三行,没有语句,第") + std::to_string(n) + Gbk("页没有导入"));
        continue;
      }
      const std::string content = ReplaceAll(ReplaceAll(lines[2], "|R", "\r"), "|A", "\n");
      const std::string plain = WithoutLineBreaks(content);
      if (static_cast<int64_t>(plain.size()) > PageByteLimit(n, g_.BaudIndex)) {
        report.Skipped.push_back(name + Gbk(": 语句有") + std::to_string(plain.size()) + Gbk("字节,超过第") +
                                 std::to_string(n) + Gbk("页的") + std::to_string(PageByteLimit(n, g_.BaudIndex)) +
                                 Gbk("字节,没有导入"));
        continue;
      }
      PutPage(n, lines[1], content);
      report.Imported.push_back(n);
    }
  }
  if (!report.Skipped.empty()) {
    std::string message = Gbk("以下老版本批界面数据没有导入:");
    for (const std::string& line : report.Skipped) message += "\r\n" + line;
    g_.Messages.Show(message);
  }
  g_.RebuildImage();
  return report;
}

std::string PageConsole::EditorSendText() const { return WithoutLineBreaks(EditorText) + "\r"; }

std::string PageConsole::ToolSendText(Tool tool) const {
  switch (tool) {
    case Tool::ClearScreen:
      return "CLS(0);\r";
    case Tool::Brightest:
      return "SEBL(100);\r";
    case Tool::TouchCalibration:
      return "TPST(" + std::to_string(g_.Rom.ScreenWidth) + "," + std::to_string(g_.Rom.ScreenHeight) + ");\r";
    case Tool::TouchDrawTest:
      return Gbk("CLS(0);DS12(0,0,'请使用触摸笔在屏幕上绘图',2);TPOW(1);TPN(2);\r");
    case Tool::TouchInfo:
      return "CLS(0);SNF(0,0);INF;\r";
    case Tool::SdPicture:
      return "PIC(0,0,1024);\r";
    case Tool::Terminal:
      return "TERM;\r";
  }
  return std::string();
}

bool PageConsole::SendStatementText(const std::string& text) {
  if (g_.LinkState == 0) {
    g_.Messages.Show(Gbk("请先连接串口液晶屏再发送指令!"));
    return false;
  }
  if (text.size() > DisplayBufferBytes) g_.Messages.Show(Gbk("命令已经超出串口屏缓冲区，后面的指令可能无法正确执行!"));
  AddLogLine("send:" + text + "#13#10");
  g_.ReceiveBuffer.Clear();
  if (SendBytes) SendBytes(text);
  return true;
}

void PageConsole::AddLogLine(std::string_view line) {
  if (!ReceiveLog.empty() && ReceiveLog.back() != '\n' && ReceiveLog.back() != '\r') ReceiveLog += "\r\n";
  ReceiveLog += line;
  ReceiveLog += "\r\n";
}

void PageConsole::AppendReceived(std::string_view bytes) {
  ReceiveLog += bytes;
  if (ReceiveLog.size() <= LogLimit) return;
  const std::vector<std::string> lines = SplitLines(ReceiveLog);
  std::string kept;
  for (size_t i = lines.size() > 3 ? lines.size() - 3 : 0; i < lines.size(); ++i) kept += lines[i] + "\r\n";
  // Fewer than three lines can still be too long: keep the end that fits.
  if (kept.size() > LogLimit) kept.erase(0, kept.size() - LogLimit);
  ReceiveLog = std::move(kept);
}

}  // namespace panelcraft
