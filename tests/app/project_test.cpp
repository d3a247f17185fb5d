#include "app/project.h"

#include <gtest/gtest.h>

#include "app/files.h"
#include "app/global.h"
#include "app/text.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

using test::ReadFile;
using test::RecordingMessages;
using test::TempDir;
using test::WriteFile;

struct Program {
  TempDir home;
  RecordingMessages messages;
  std::unique_ptr<Tglobal> g;
  Program() { Restart(); }
  void Restart() {
    if (g) g->Finish();
    g = std::make_unique<Tglobal>(home.path(), messages);
    g->Start();
  }
  std::string File(const char* name) const { return TextFromPath(home / name); }
};

TEST(Project, NewSaveCloseOpenKeepsEverything) {
  Program p;
  WriteFile(p.home / "default.bin", "base");
  ASSERT_TRUE(AcceptNewProjectDialog(*p.g, "Demo", p.File("demo.lmx")));
  PrepareNewProject(*p.g);
  EXPECT_EQ(p.g->BaudIndex, 6);
  EXPECT_EQ(ReadFile(p.home / "temp/rom.bin"), "base");
  p.g->Store.Put("pgcn4", "CLS(0);");
  WriteFile(p.home / "temp/pic/1.jpg", "jpeg");
  ASSERT_TRUE(SaveProject(*p.g));
  EXPECT_EQ(p.messages.Shown.back(), Gbk("保存成功!"));

  p.messages.Answer = false;
  ASSERT_TRUE(CloseProject(*p.g));
  ASSERT_EQ(p.messages.Asked.size(), 1u);
  EXPECT_EQ(p.messages.Asked[0], Gbk("是否保存工程:") + "Demo" + Gbk(" 到工程文件:") + p.File("demo.lmx"));
  EXPECT_FALSE(fs::exists(p.home / "temp"));
  EXPECT_FALSE(p.g->ProjectOpen());
  EXPECT_EQ(p.g->Store.Count(), 0u);

  p.Restart();
  ASSERT_TRUE(OpenProject(*p.g, p.File("demo.lmx")));
  EXPECT_EQ(p.g->ProjectName, "Demo");
  EXPECT_EQ(p.g->BaudIndex, 6);
  EXPECT_EQ(p.g->Store.Get("pgcn4"), "CLS(0);");
  EXPECT_EQ(ReadFile(p.home / "temp/pic/1.jpg"), "jpeg");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&p.g->Rom.Image[Trom::PageSlots + 4 * 1024]), 8),
            std::string("CLS(0);\0", 8));
}

TEST(Project, CancelledNewProjectDialogStillPreparesTheWorkspace) {
  Program p;
  WriteFile(p.home / "default.bin", "base");
  EXPECT_FALSE(AcceptNewProjectDialog(*p.g, "", p.File("x.lmx")));
  EXPECT_EQ(p.messages.Shown.back(), Gbk("工程名为空"));
  WriteFile(p.home / "temp/rom.bin", "kept");
  PrepareNewProject(*p.g);
  EXPECT_FALSE(p.g->ProjectOpen());
  EXPECT_EQ(p.g->Store.Get("PrjFileName"), "");
  EXPECT_EQ(ReadFile(p.home / "temp/rom.bin"), "kept");  // never replaced
}

TEST(Project, ARefusedArchiveLeavesTheProgramAndWorkspaceAsTheyWere) {
  Program p;
  WriteFile(p.home / "temp/prj.ini.key", "PrjFileName\r\n");
  WriteFile(p.home / "temp/prj.ini.val", "\r\n");
  WriteFile(p.home / "bad.lmx", "not a zip");
  EXPECT_FALSE(OpenProject(*p.g, p.File("bad.lmx")));
  EXPECT_FALSE(p.g->ProjectOpen());
  EXPECT_NE(p.messages.Shown.back().find("bad.lmx"), std::string::npos);

  // An archive with an entry outside the workspace: "文件格式不对".
  ASSERT_TRUE(AcceptNewProjectDialog(*p.g, "Other", p.File("other.lmx")));
  PrepareNewProject(*p.g);
  WriteFile(p.home / "temp/evil", "x");
  ASSERT_TRUE(SaveProject(*p.g));
  std::string bytes = ReadFile(p.home / "other.lmx");
  for (size_t at = bytes.find("temp/evil"); at != std::string::npos; at = bytes.find("temp/evil", at + 1))
    bytes.replace(at, 9, "tmpx/evil");
  WriteFile(p.home / "evil.lmx", bytes);
  p.messages.Answer = false;
  ASSERT_TRUE(CloseProject(*p.g));
  EXPECT_FALSE(OpenProject(*p.g, p.File("evil.lmx")));
  EXPECT_EQ(p.messages.Shown.back(), "\xCE\xC4\xBC\xFE\xB8\xF1\xCA\xBD\xB2\xBB\xB6\xD4");
  EXPECT_FALSE(p.g->ProjectOpen());
  EXPECT_FALSE(fs::exists(p.home / "temp"));
  EXPECT_FALSE(fs::exists(p.home / "tmpx"));
}

TEST(Project, SaveAsWritesTheGivenNameAndClosingWithAFailedSaveKeepsTheProject) {
  Program p;
  ASSERT_TRUE(AcceptNewProjectDialog(*p.g, "Demo", p.File("a.lmx")));
  PrepareNewProject(*p.g);
  ASSERT_TRUE(SaveProjectAs(*p.g, p.File("copy")));
  EXPECT_TRUE(fs::exists(p.home / "copy"));
  EXPECT_FALSE(fs::exists(p.home / "copy.lmx"));
  EXPECT_EQ(p.g->ProjectFile, p.File("copy"));

  // The project file's folder is gone: saving on close fails, and the
  // workspace must not be deleted.
  p.g->ProjectFile = p.File("missing-folder/p.lmx");
  p.messages.Answer = true;
  EXPECT_FALSE(CloseProject(*p.g));
  EXPECT_TRUE(p.g->ProjectOpen());
  EXPECT_TRUE(fs::exists(p.home / "temp/prj.ini.key"));
  EXPECT_FALSE(SaveProject(*p.g));
  EXPECT_NE(p.messages.Shown.back(), Gbk("保存成功!"));
}

TEST(Project, ClosingWhileConnectedClosesThePort) {
  Program p;
  ASSERT_TRUE(AcceptNewProjectDialog(*p.g, "Demo", p.File("a.lmx")));
  PrepareNewProject(*p.g);
  int closed = 0;
  p.g->ClosePort = [&] { ++closed; };
  p.g->LinkState = 1;
  p.messages.Answer = false;
  ASSERT_TRUE(CloseProject(*p.g));
  EXPECT_EQ(closed, 1);
  EXPECT_EQ(p.g->LinkState, 0);
}

TEST(Parameters, OnlyTheSevenBaudTextsAreAccepted) {
  Program p;
  ASSERT_TRUE(AcceptNewProjectDialog(*p.g, "Demo", p.File("a.lmx")));
  PrepareNewProject(*p.g);
  const struct {
    const char* text;
    int index;
  } cases[] = {{"2400", 0}, {"9600", 2}, {"115200", 6}, {"256000", -1}, {" 9600", -1}, {"9600 ", -1}, {"", -1}};
  for (const auto& c : cases) {
    p.messages.Shown.clear();
    p.g->BaudIndex = 6;
    EXPECT_EQ(SaveParameters(*p.g, "Renamed", c.text), c.index >= 0) << c.text;
    EXPECT_EQ(p.g->BaudIndex, c.index >= 0 ? c.index : 6) << c.text;
    EXPECT_EQ(p.messages.Shown.back(), Gbk(c.index >= 0 ? "保存成功!" : "波特率设置不正确,保存失败!")) << c.text;
  }
  EXPECT_EQ(p.g->ProjectName, "Renamed");
  EXPECT_EQ(BaudText(2), "9600");
  EXPECT_EQ(BaudText(9), "115200");
  EXPECT_EQ(BaudText(-1), "115200");
}

}  // namespace
}  // namespace panelcraft
