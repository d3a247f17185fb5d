// The page console's logic: choosing, storing and importing pages, what it
// sends and its received-data log.
#include "pages/page_console.h"

#include <gtest/gtest.h>

#include <cstring>

#include "app/files.h"
#include "app/global.h"
#include "app/text.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

class PageConsoleTest : public ::testing::Test {
 protected:
  PageConsoleTest() : g_(home_.path(), messages_), console_(g_) {
    messages_.Answer = true;
    g_.Start();
    g_.BaudIndex = 6;
    console_.FormShow();
  }

  // The bytes of ROM slot n - 1 up to its 0x00.
  std::string Slot(int n) const {
    const char* p = reinterpret_cast<const char*>(g_.Rom.Image.data()) + Trom::PageSlots +
                    Trom::PageSlotSize * static_cast<size_t>(n - 1);
    return std::string(p, strnlen(p, Trom::PageSlotSize));
  }

  bool Store(int n, const std::string& text, const std::string& name = "") {
    console_.ChoosePage(n - 1);
    console_.EditorText = text;
    console_.NameField = name;
    messages_.Shown.clear();
    return console_.StorePage();
  }

  void WriteFile(const std::string& name, const std::string& bytes) { test::WriteFile(home_ / "old" / name, bytes); }

  test::TempDir home_;
  test::RecordingMessages messages_;
  Tglobal g_;
  PageConsole console_;
};

// Statements of exactly `bytes` bytes: BOX statements, then padding.
std::string StatementsOf(size_t bytes) {
  const std::string box = "BOX(0,0,10,10,1);";
  std::string text;
  while (text.size() + box.size() <= bytes) text += box;
  return text + std::string(bytes - text.size(), 'x');
}

TEST_F(PageConsoleTest, StoringRespectsTheSlotLimit) {
  struct Case {
    int page;
    int baud;
    size_t bytes;
    bool stored;
  } cases[] = {
      {2, 6, 1023, true},
      {2, 6, 1024, false},
      {128, 3, 1023, true},
      // Page 1's slot holds "U3;" first while the display is not at 115200.
      {1, 6, 1023, true},
      {1, 3, 1020, true},
      {1, 3, 1021, false},
      {1, 10, 1019, true},
      {1, 10, 1020, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.page) + "/" + std::to_string(c.baud) + "/" + std::to_string(c.bytes));
    g_.BaudIndex = c.baud;
    g_.Store.Put(PageContentKey(c.page), "OLD;");
    g_.RebuildImage();
    console_.FormShow();
    const std::string slotBefore = Slot(c.page);
    const std::string text = StatementsOf(c.bytes);
    EXPECT_EQ(Store(c.page, text, "n"), c.stored);
    if (c.stored) {
      EXPECT_TRUE(messages_.Shown.empty());
      EXPECT_EQ(g_.Store.Get(PageContentKey(c.page)), text);
      EXPECT_EQ(Slot(c.page), (c.page == 1 && c.baud != 6 ? "U" + std::to_string(c.baud) + ";" : "") + text);
      EXPECT_EQ(g_.Pages.PageCaption(c.page), std::to_string(c.page) + ":n");
    } else {
      ASSERT_EQ(messages_.Shown.size(), 1u);
      if (c.bytes >= 1024) {
        EXPECT_EQ(messages_.Shown[0], Gbk("保存失败!语句超过1024字节,请减少!"));
      } else {
        EXPECT_NE(messages_.Shown[0].find("U" + std::to_string(c.baud) + ";"), std::string::npos);
      }
      EXPECT_EQ(g_.Store.Get(PageContentKey(c.page)), "OLD;");
      EXPECT_EQ(g_.Pages.PageContent(c.page), "OLD;");
      EXPECT_EQ(Slot(c.page), slotBefore);
    }
  }
}

TEST_F(PageConsoleTest, LineBreaksDoNotCountAndAreKept) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "PS(1,1,1);\r\n";  // 1000 bytes of statements
  text += "CLS(0);\r\n\r\n" + std::string(16, 'x');        // 1023 in all
  EXPECT_TRUE(Store(5, text, Gbk("主菜单")));
  EXPECT_EQ(g_.Store.Get(PageContentKey(5)), text);
  EXPECT_EQ(Slot(5).size(), 1023u);
  EXPECT_EQ(g_.Pages.PageCaption(5), Gbk("5:主菜单"));
  EXPECT_EQ(g_.Store.Get(PageNameKey(5)), Gbk("主菜单"));
}

TEST_F(PageConsoleTest, StoringWithoutAChosenPageIsRefused) {
  console_.EditorText = "CLS(0);";
  EXPECT_FALSE(console_.StorePage());
  ASSERT_EQ(messages_.Shown.size(), 1u);
  EXPECT_EQ(messages_.Shown[0],
            Gbk("您没有预先点击批界面序号按钮,已确定修改的批界面编号,当前语句属于临时使用,无法存储!"));
  EXPECT_EQ(g_.Store.Count(), 0u);
}

TEST_F(PageConsoleTest, ChoosingAPageFormatsItAndKeepsNamesWithColons) {
  EXPECT_EQ(console_.NumberLabel, "---");
  EXPECT_TRUE(Store(3, "CLS(0); BOX(0, 0,9,9,1);", "a:b:c"));
  console_.ChoosePage(0);
  EXPECT_EQ(console_.NameField, "");
  console_.ChoosePage(2);
  EXPECT_EQ(console_.CurrentPageNumber, 3);
  EXPECT_EQ(console_.NumberLabel, "3");
  EXPECT_EQ(console_.NameField, "a:b:c");
  EXPECT_EQ(console_.EditorText, "CLS(0);\r\nBOX(0,0,9,9,1);\r\n");
  console_.ChoosePage(128);  // outside the list: nothing changes
  EXPECT_EQ(console_.CurrentPageNumber, 3);
  // The list follows the store when the console comes back to the front.
  g_.Store.Put(PageNameKey(3), "x");
  console_.FormShow();
  EXPECT_EQ(g_.Pages.PageCaption(3), "3:x");
  EXPECT_EQ(g_.ReceiveRoute.load(), 1);
  EXPECT_EQ(g_.Pages.PageContent(0), "");
  EXPECT_EQ(g_.Pages.PageContent(129), "");
}

TEST_F(PageConsoleTest, ImportsOldPageFiles) {
  WriteFile("Page1.str", "x\r\none\r\nCLS(0);|R|ADS12(0,0,'a|b',1);\r\n");
  WriteFile("Page2.str", "x\r\n\r\nSBC(1);");
  WriteFile("Page3.str", "x\r\nonly two lines\r\n");  // no statements line
  WriteFile("Page4.str", "x\r\nlong\r\n" + std::string(1024, 'a') + "\r\n");
  WriteFile("Page5.str", "x\r\nfive\r\n" + std::string(1023, 'b') + "\r\n");
  WriteFile("Page128.str", "x\r\nlast\r\nCLS(1);\r\n");
  for (int n : {3, 4, 6, 128}) g_.Store.Put(PageContentKey(n), "KEEP;");
  console_.FormShow();

  ASSERT_TRUE(console_.ConfirmImport());
  const PageConsole::ImportReport report = console_.ImportOldPages(home_ / "old" / "Page1.str");
  EXPECT_EQ(report.Imported, (std::vector<int>{1, 2, 5}));
  ASSERT_EQ(report.Skipped.size(), 2u);
  EXPECT_NE(report.Skipped[0].find("Page3.str"), std::string::npos);
  EXPECT_NE(report.Skipped[1].find("Page4.str"), std::string::npos);
  ASSERT_EQ(messages_.Shown.size(), 1u);  // one report of the skipped pages

  EXPECT_EQ(g_.Store.Get(PageContentKey(1)), "CLS(0);\r\nDS12(0,0,'a|b',1);");
  EXPECT_EQ(g_.Pages.PageCaption(1), "1:one");
  EXPECT_EQ(Slot(1), "CLS(0);DS12(0,0,'a|b',1);");
  EXPECT_EQ(g_.Pages.PageCaption(2), "2:");
  EXPECT_EQ(Slot(5), std::string(1023, 'b'));
  for (int n : {3, 4, 6, 128}) EXPECT_EQ(g_.Store.Get(PageContentKey(n)), "KEEP;") << n;
  EXPECT_EQ(Slot(128), "KEEP;");  // the image was rebuilt from the store
}

TEST_F(PageConsoleTest, ImportTakesTheChosenFilesCaseAndRefusesOtherNames) {
  WriteFile("page1.str", "x\r\nlower\r\nCLS(0);\r\n");
  WriteFile("page2.str", "x\r\nlower2\r\nCLS(2);\r\n");
  EXPECT_EQ(console_.ImportOldPages(home_ / "old" / "page1.str").Imported, (std::vector<int>{1, 2}));
  EXPECT_EQ(g_.Store.Get(PageContentKey(2)), "CLS(2);");

  WriteFile("other.str", "x\r\nother\r\nBOX(1,1,1,1,1);\r\n");
  messages_.Shown.clear();
  const PageConsole::ImportReport report = console_.ImportOldPages(home_ / "old" / "other.str");
  EXPECT_TRUE(report.Imported.empty());
  EXPECT_EQ(messages_.Shown.size(), 1u);
  EXPECT_EQ(g_.Store.Get(PageContentKey(3)), "");
}

TEST_F(PageConsoleTest, CancelledImportChangesNoPageButRebuildsTheImage) {
  g_.Store.Put(PageContentKey(7), "CLS(3);");
  EXPECT_TRUE(console_.ImportOldPages(std::nullopt).Imported.empty());
  EXPECT_TRUE(messages_.Shown.empty());
  EXPECT_EQ(Slot(7), "CLS(3);");
  messages_.Answer = false;
  EXPECT_FALSE(console_.ConfirmImport());
}

TEST_F(PageConsoleTest, SendsEditorAndToolTexts) {
  std::vector<std::string> sent;
  console_.SendBytes = [&](std::string_view bytes) { sent.emplace_back(bytes); };

  EXPECT_FALSE(console_.SendEditor());  // no display connected
  EXPECT_EQ(messages_.Shown, std::vector<std::string>{Gbk("请先连接串口液晶屏再发送指令!")});
  EXPECT_EQ(console_.ReceiveLog, "rxmemo");
  EXPECT_TRUE(sent.empty());

  g_.LinkState = 2;
  g_.ReceiveBuffer.Append("old");
  messages_.Shown.clear();
  console_.EditorText = "";
  EXPECT_TRUE(console_.SendEditor());
  EXPECT_EQ(sent.back(), "\r");
  EXPECT_EQ(console_.ReceiveLog, "rxmemo\r\nsend:\r#13#10\r\n");
  EXPECT_EQ(g_.ReceiveBuffer.Text(), "");

  console_.EditorText = "CLS(0);\r\nBOX(0, 0,1,1,1);\n";
  EXPECT_TRUE(console_.SendEditor());
  EXPECT_EQ(sent.back(), "CLS(0);BOX(0, 0,1,1,1);\r");  // spaces stay as typed

  console_.EditorText = std::string(1023, 'a');
  EXPECT_TRUE(console_.SendEditor());
  EXPECT_TRUE(messages_.Shown.empty());
  console_.EditorText = std::string(1024, 'a');
  EXPECT_TRUE(console_.SendEditor());
  EXPECT_EQ(messages_.Shown, std::vector<std::string>{Gbk("命令已经超出串口屏缓冲区，后面的指令可能无法正确执行!")});
  EXPECT_EQ(sent.back().size(), 1025u);  // sent in full all the same

  using Tool = PageConsole::Tool;
  EXPECT_EQ(console_.ToolSendText(Tool::TouchCalibration), "TPST(0,0);\r");
  g_.Rom.ScreenWidth = 320;
  g_.Rom.ScreenHeight = 240;
  const std::pair<Tool, std::string> tools[] = {
      {Tool::ClearScreen, "CLS(0);\r"},
      {Tool::Brightest, "SEBL(100);\r"},
      {Tool::TouchCalibration, "TPST(320,240);\r"},
      {Tool::TouchDrawTest, Gbk("CLS(0);DS12(0,0,'请使用触摸笔在屏幕上绘图',2);TPOW(1);TPN(2);\r")},
      {Tool::TouchInfo, "CLS(0);SNF(0,0);INF;\r"},
      {Tool::SdPicture, "PIC(0,0,1024);\r"},
      {Tool::Terminal, "TERM;\r"},
  };
  for (const auto& [tool, text] : tools) {
    EXPECT_TRUE(console_.SendTool(tool));
    EXPECT_EQ(sent.back(), text);
  }
}

TEST_F(PageConsoleTest, ReceivedLogIsTrimmedPastItsLimit) {
  console_.ReceiveLog.clear();
  const std::string line(1000, 'r');
  for (int i = 0; i < 4; ++i) console_.AppendReceived(line + std::to_string(i) + "\r\n");
  EXPECT_EQ(console_.ReceiveLog.size(), 4 * 1003u);  // 4012: not yet over
  console_.AppendReceived("ABCDEFGHIJKLM\r\n");      // 4027: over 4024
  EXPECT_EQ(console_.ReceiveLog, line + "2\r\n" + line + "3\r\nABCDEFGHIJKLM\r\n");
  // One line longer than the limit keeps its end.
  console_.AppendReceived(std::string(5000, 'z'));
  EXPECT_EQ(console_.ReceiveLog.size(), PageConsole::LogLimit);
  EXPECT_EQ(console_.ReceiveLog.substr(console_.ReceiveLog.size() - 3), "z\r\n");
}

}  // namespace
}  // namespace panelcraft
