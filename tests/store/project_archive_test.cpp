#include "store/project_archive.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unzip.h>
#include <zip.h>

#include <csignal>

#include "app/files.h"
#include "support/temp_dir.h"

namespace panelcraft {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;

struct ZipEntry {
  std::string name;
  std::string data;
  unsigned flag = 0;          // 0x800: the name is UTF-8
  unsigned madeBy = 0;        // host in the high byte: 0 DOS, 3 Unix
  unsigned long attributes = 0;
};

// Writes an archive the way other ZIP tools might.
void MakeZip(const fs::path& path, const std::vector<ZipEntry>& entries) {
  zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
  ASSERT_NE(zip, nullptr);
  for (const auto& e : entries) {
    zip_fileinfo info{};
    info.external_fa = e.attributes;
    ASSERT_EQ(zipOpenNewFileInZip4_64(zip, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 6, 0,
                                      -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, e.madeBy, e.flag, 0),
              ZIP_OK);
    zipWriteInFileInZip(zip, e.data.data(), static_cast<unsigned>(e.data.size()));
    zipCloseFileInZip(zip);
  }
  zipClose(zip, nullptr);
}

struct StoredEntry {
  std::string name;
  unsigned long flag;
  unsigned long compression;
};

std::vector<StoredEntry> ListZip(const fs::path& path) {
  std::vector<StoredEntry> names;
  unzFile zip = unzOpen64(path.c_str());
  if (!zip) return names;
  for (int s = unzGoToFirstFile(zip); s == UNZ_OK; s = unzGoToNextFile(zip)) {
    unz_file_info64 info{};
    char name[1024];
    unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0);
    names.push_back({name, info.flag, info.compression_method});
  }
  unzClose(zip);
  return names;
}

TEST(Tmakeprjfile, PackAndUnpackRestoreEveryFileWithGbkNames) {
  TempDir home;
  const std::string picture(5000, 'p');
  WriteFile(home / "temp/prj.ini.key", "PrjName\r\n");
  WriteFile(home / "temp/prj.ini.val", "x\r\n");
  WriteFile(home / "temp/pic/1.jpg", picture);
  WriteFile(home / "temp/pic/图片.jpg", "gbk name");
  WriteFile(home / "temp/.hidden", "left out");
  fs::create_directories(home / "temp/empty");
  fs::create_symlink("/etc/passwd", home / "temp/link");

  Tmakeprjfile(home.path()).Pack(home / "p.lmx");
  const auto entries = ListZip(home / "p.lmx");
  std::vector<std::string> names;
  for (const auto& e : entries) {
    names.push_back(e.name);
    EXPECT_EQ(e.flag & 0x800, 0u) << e.name;
    EXPECT_EQ(e.compression, unsigned{Z_DEFLATED});
  }
  // Name order, subfolders where they are met; the picture's name in GBK.
  EXPECT_EQ(names, (std::vector<std::string>{"temp/pic/1.jpg", "temp/pic/\xCD\xBC\xC6\xAC.jpg", "temp/prj.ini.key",
                                             "temp/prj.ini.val"}));

  TempDir other;
  ASSERT_EQ(Tmakeprjfile(other.path()).Unpack(home / "p.lmx"), Tmakeprjfile::UnpackResult::Accepted);
  EXPECT_EQ(ReadFile(other / "temp/pic/1.jpg"), picture);
  EXPECT_EQ(ReadFile(other / "temp/pic/图片.jpg"), "gbk name");
  EXPECT_EQ(ReadFile(other / "temp/prj.ini.val"), "x\r\n");
  EXPECT_FALSE(fs::exists(other / "temp/empty"));
  EXPECT_EQ(fs::directory_iterator(other.path())->path().filename(), "temp");  // no staging folder left
}

TEST(Tmakeprjfile, ProjectWithoutPicturesHasNoPicFolderAfterOpening) {
  TempDir home;
  WriteFile(home / "temp/prj.ini.key", "");
  fs::create_directories(home / "temp/pic");
  Tmakeprjfile(home.path()).Pack(home / "p.lmx");
  TempDir other;
  ASSERT_EQ(Tmakeprjfile(other.path()).Unpack(home / "p.lmx"), Tmakeprjfile::UnpackResult::Accepted);
  EXPECT_TRUE(fs::exists(other / "temp/prj.ini.key"));
  EXPECT_FALSE(fs::exists(other / "temp/pic"));
}

TEST(Tmakeprjfile, AcceptsArchivesOfOtherToolsAndOverlaysTheWorkspace) {
  TempDir home;
  MakeZip(home / "win.lmx", {{"temp\\pic\\\xCD\xBC.jpg", "gbk"},
                             {"temp/", ""},
                             {"temp\\prj.ini.key", "new"},
                             {"temp/utf8-\xE5\x9B\xBE.bin", "utf8", 0x800}});
  WriteFile(home / "temp/prj.ini.key", "old");
  WriteFile(home / "temp/kept.bin", "kept");
  ASSERT_EQ(Tmakeprjfile(home.path()).Unpack(home / "win.lmx"), Tmakeprjfile::UnpackResult::Accepted);
  EXPECT_EQ(ReadFile(home / "temp/pic/图.jpg"), "gbk");
  EXPECT_EQ(ReadFile(home / "temp/prj.ini.key"), "new");
  EXPECT_EQ(ReadFile(home / "temp/utf8-图.bin"), "utf8");
  EXPECT_EQ(ReadFile(home / "temp/kept.bin"), "kept");
}

TEST(Tmakeprjfile, RefusesEntriesOutsideTheWorkspaceBeforeExtractingAnything) {
  const std::vector<std::vector<ZipEntry>> refused = {
      {{"temp/a", "1"}, {"other/b", "2"}},
      {{"temp/a", "1"}, {"temp\\..\\escape", "2"}},
      {{"temp/a", "1"}, {"temp/pic/../../escape", "2"}},
      {{"temp/a", "1"}, {"/etc/escape", "2"}},
      {{"temp/a", "1"}, {"temp/C:/escape", "2"}},
      {{"temp/a", "1"}, {"Temp/b", "2"}},
      {{"temp", "1"}},
      {{"temp/a", "1"}, {"temp/link", "/etc/passwd", 0, 3u << 8, (0120777ul) << 16}},
  };
  for (size_t i = 0; i < refused.size(); ++i) {
    TempDir home;
    MakeZip(home / "bad.lmx", refused[i]);
    EXPECT_EQ(Tmakeprjfile(home.path()).Unpack(home / "bad.lmx"), Tmakeprjfile::UnpackResult::Refused) << i;
    EXPECT_FALSE(fs::exists(home / "temp")) << i;
    EXPECT_FALSE(fs::exists(home / "escape")) << i;
  }
  EXPECT_EQ(CheckedEntryName("temp\\pic\\.\\a.jpg"), "temp/pic/a.jpg");
}

TEST(Tmakeprjfile, DamagedOrForeignFilesChangeNothing) {
  TempDir home;
  WriteFile(home / "temp/prj.ini.key", "mine");
  WriteFile(home / "text.lmx", "this is not a zip archive");
  std::string error;
  EXPECT_EQ(Tmakeprjfile(home.path()).Unpack(home / "text.lmx", &error), Tmakeprjfile::UnpackResult::Unreadable);
  EXPECT_NE(error.find("text.lmx"), std::string::npos);
  EXPECT_EQ(Tmakeprjfile(home.path()).Unpack(home / "absent.lmx"), Tmakeprjfile::UnpackResult::Unreadable);

  // An archive whose second entry's data is corrupted: the first entry is not
  // written either.
  MakeZip(home / "bad.lmx", {{"temp/prj.ini.key", "theirs"}, {"temp/big.bin", std::string(20000, 'z')}});
  std::string bytes = ReadFile(home / "bad.lmx");
  const size_t data = bytes.find("temp/big.bin") + 12 + 10;  // inside the deflated data
  bytes[data] = static_cast<char>(bytes[data] ^ 0x55);
  bytes[data + 1] = static_cast<char>(bytes[data + 1] ^ 0x55);
  WriteFile(home / "bad.lmx", bytes);
  EXPECT_EQ(Tmakeprjfile(home.path()).Unpack(home / "bad.lmx", &error), Tmakeprjfile::UnpackResult::Unreadable);
  EXPECT_EQ(ReadFile(home / "temp/prj.ini.key"), "mine");
  EXPECT_FALSE(fs::exists(home / "temp/big.bin"));
}

TEST(Tmakeprjfile, NeverWritesThroughALinkedWorkspaceFolder) {
  TempDir home;
  TempDir outside;
  fs::create_directories(home / "temp");
  fs::create_directory_symlink(outside.path(), home / "temp/pic");
  MakeZip(home / "p.lmx", {{"temp/pic/a.jpg", "x"}});
  EXPECT_EQ(Tmakeprjfile(home.path()).Unpack(home / "p.lmx"), Tmakeprjfile::UnpackResult::Unreadable);
  EXPECT_FALSE(fs::exists(outside / "a.jpg"));
}

TEST(Tmakeprjfile, AFailedPackKeepsTheOldProjectFile) {
  TempDir home;
  WriteFile(home / "p.lmx", "previous project");
  WriteFile(home / "temp/big.bin", std::string(1 << 20, 'b'));
  // Incompressible bytes make the archive larger than the file size limit.
  std::string noise(1 << 20, 0);
  uint32_t x = 12345;
  for (char& c : noise) c = static_cast<char>((x = x * 1103515245u + 12345u) >> 24);
  WriteFile(home / "temp/noise.bin", noise);

  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 256 * 1024;
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  EXPECT_THROW(Tmakeprjfile(home.path()).Pack(home / "p.lmx"), FileError);
  setrlimit(RLIMIT_FSIZE, &old);
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_EQ(ReadFile(home / "p.lmx"), "previous project");
  int files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(home.path())) ++files;
  EXPECT_EQ(files, 2);  // p.lmx and temp: no temporary file left behind
}

}  // namespace
}  // namespace panelcraft
