#include <gtest/gtest.h>

#include "app/files.h"
#include "app/global.h"
#include "app/home.h"
#include "app/text.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

using test::ReadFile;
using test::RecordingMessages;
using test::TempDir;
using test::WriteFile;

TEST(Workspace, FirstStartCreatesTheFoldersAndOpensNothing) {
  TempDir home;
  RecordingMessages messages;
  Tglobal g(home.path(), messages);
  int menuUpdates = 0;
  g.MenusChanged = [&] { ++menuUpdates; };
  g.Start();
  EXPECT_TRUE(fs::is_directory(home / "temp/pic"));
  EXPECT_FALSE(g.ProjectOpen());
  EXPECT_EQ(menuUpdates, 1);
  g.Finish();
  EXPECT_FALSE(fs::exists(home / "temp/prj.ini.key"));
}

TEST(Workspace, AnExistingStoreIsTakenUpEvenWhenItsProjectFileIsGone) {
  TempDir home;
  WriteFile(home / "temp/prj.ini.key", "PrjFileName\r\nPrjName\r\npgcn0\r\n");
  WriteFile(home / "temp/prj.ini.val", "/nowhere/x.lmx\r\nDemo\r\nCLS(0);\r\n");
  RecordingMessages messages;
  Tglobal g(home.path(), messages);
  g.Start();
  EXPECT_EQ(g.ProjectFile, "/nowhere/x.lmx");
  EXPECT_EQ(g.ProjectName, "Demo");
  EXPECT_EQ(g.BaudIndex, 0);  // no "BTL": 2400, not 115200
  // Taking the workspace up rebuilt the image with its pages.
  EXPECT_EQ(g.Rom.Image[Trom::PageSlots], 'U');
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&g.Rom.Image[Trom::PageSlots]), 10), "U0;CLS(0);");

  // Pages changed in the store reach the disk at the end of the program.
  g.Store.Put("pgcn1", "BOX(1,1,2,2,1);");
  g.Finish();
  Tglobal again(home.path(), messages);
  again.Start();
  EXPECT_EQ(again.Store.Get("pgcn1"), "BOX(1,1,2,2,1);");
  EXPECT_TRUE(messages.Shown.empty());
}

TEST(Workspace, AWorkspaceWithoutAStoreIsLeftAlone) {
  TempDir home;
  WriteFile(home / "temp/stray.txt", "x");
  RecordingMessages messages;
  Tglobal g(home.path(), messages);
  g.Start();
  EXPECT_FALSE(g.ProjectOpen());
  EXPECT_FALSE(fs::exists(home / "temp/pic"));
  EXPECT_EQ(ReadFile(home / "temp/stray.txt"), "x");
}

TEST(Workspace, AMissingValueFileIsReportedAndNothingIsOverwritten) {
  TempDir home;
  WriteFile(home / "temp/prj.ini.key", "PrjFileName\r\n");
  RecordingMessages messages;
  Tglobal g(home.path(), messages);
  g.Start();
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_NE(messages.Shown[0].find("prj.ini.val"), std::string::npos);
  EXPECT_FALSE(g.ProjectOpen());
  g.Finish();
  EXPECT_EQ(ReadFile(home / "temp/prj.ini.key"), "PrjFileName\r\n");
}

TEST(Workspace, SaveWorkspaceWritesTheSharedStateFirst) {
  TempDir home;
  RecordingMessages messages;
  Tglobal g(home.path(), messages);
  g.Start();
  g.ProjectFile = "a.lmx";
  g.BaudIndex = 3;
  ASSERT_TRUE(g.SaveWorkspace());
  EXPECT_EQ(ReadFile(home / "temp/prj.ini.key"), "PrjFileName\r\nPrjName\r\nMinFontsize\r\nPicSize\r\nFontsize\r\nBTL\r\n");
  EXPECT_EQ(ReadFile(home / "temp/prj.ini.val"), "a.lmx\r\n\r\n0\r\n0\r\n0\r\n3\r\n");
}

TEST(Home, ChosenByOptionThenEnvironment) {
  ::setenv("PANELCRAFT_HOME", "/tmp/from-env", 1);
  EXPECT_EQ(ChooseHome(fs::path("/tmp/from-option")), "/tmp/from-option");
  EXPECT_EQ(ChooseHome(std::nullopt), "/tmp/from-env");
  ::unsetenv("PANELCRAFT_HOME");
  ::setenv("XDG_DATA_HOME", "/tmp/xdg", 1);
  EXPECT_EQ(ChooseHome(std::nullopt), "/tmp/xdg/panelcraft");
  ::unsetenv("XDG_DATA_HOME");
  ::setenv("HOME", "/home/someone", 1);
  EXPECT_EQ(ChooseHome(std::nullopt), "/home/someone/.local/share/panelcraft");
}

TEST(Home, ANewHomeReceivesTheBundledBaseData) {
  TempDir bundle;
  TempDir parent;
  WriteFile(bundle / "default.bin", "base data");
  ::setenv("PANELCRAFT_DATA_DIR", bundle.path().c_str(), 1);
  PrepareHome(parent / "home");
  EXPECT_EQ(ReadFile(parent / "home/default.bin"), "base data");
  WriteFile(parent / "home/default.bin", "the user's own");
  PrepareHome(parent / "home");
  EXPECT_EQ(ReadFile(parent / "home/default.bin"), "the user's own");
  ::unsetenv("PANELCRAFT_DATA_DIR");
}

TEST(DeleteFolder, RemovesLinksButNeverWhatTheyPointAt) {
  TempDir home;
  TempDir outside;
  WriteFile(outside / "precious.txt", "keep");
  WriteFile(home / "temp/pic/a.jpg", "x");
  fs::create_directory_symlink(outside.path(), home / "temp/pic/linked");
  fs::create_symlink(outside / "precious.txt", home / "temp/file-link");
  EXPECT_TRUE(DeleteFolder(home / "temp/"));
  EXPECT_FALSE(fs::exists(home / "temp"));
  EXPECT_EQ(ReadFile(outside / "precious.txt"), "keep");
}

}  // namespace
}  // namespace panelcraft
