#include "store/project_archive.h"

#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <ctime>

#include "app/files.h"
#include "app/text.h"

namespace panelcraft {

namespace {

constexpr unsigned kUtf8NameFlag = 0x800;
constexpr int kDeflateLevel = 6;

bool IsHidden(const std::string& name) { return !name.empty() && name[0] == '.'; }

zip_fileinfo EntryInfo(const fs::path& file) {
  zip_fileinfo info{};
  struct stat st {};
  time_t mtime = ::time(nullptr);
  if (::stat(file.c_str(), &st) == 0) mtime = st.st_mtime;
  struct tm local {};
  localtime_r(&mtime, &local);
  info.tmz_date.tm_sec = static_cast<uInt>(local.tm_sec);
  info.tmz_date.tm_min = static_cast<uInt>(local.tm_min);
  info.tmz_date.tm_hour = static_cast<uInt>(local.tm_hour);
  info.tmz_date.tm_mday = static_cast<uInt>(local.tm_mday);
  info.tmz_date.tm_mon = static_cast<uInt>(local.tm_mon);
  info.tmz_date.tm_year = static_cast<uInt>(local.tm_year + 1900);
  info.external_fa = 0x20;  // the archive attribute, as Windows tools write it
  return info;
}

// Reads the current entry whole into `out`; false on any damage.
bool ReadEntry(unzFile zip, uint64_t size, std::string& out) {
  if (unzOpenCurrentFile(zip) != UNZ_OK) return false;
  out.clear();
  out.reserve(static_cast<size_t>(std::min<uint64_t>(size, 64u << 20)));
  char buffer[65536];
  int n;
  while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0) out.append(buffer, static_cast<size_t>(n));
  // unzCloseCurrentFile reports a CRC mismatch of a fully read entry.
  const int closed = unzCloseCurrentFile(zip);
  return n == 0 && closed == UNZ_OK;
}

bool IsUnixSymlink(const unz_file_info64& info) {
  const unsigned host = static_cast<unsigned>(info.version >> 8);
  return host == 3 && ((info.external_fa >> 16) & S_IFMT) == S_IFLNK;
}

struct Entry {
  std::string name;  // checked, "temp/...", GBK or UTF-8 as stored
  bool utf8 = false;
  bool directory = false;
};

// Refuses a path below home whose existing parts include a symbolic link, so
// nothing is written outside the workspace through one.
bool HasLinkedPart(const fs::path& home, const fs::path& relative) {
  fs::path p = home;
  std::error_code ec;
  for (const auto& part : relative) {
    p /= part;
    if (fs::is_symlink(p, ec)) return true;
  }
  return false;
}

}  // namespace

std::string CheckedEntryName(const std::string& storedName) {
  std::string name = storedName;
  std::replace(name.begin(), name.end(), '\\', '/');
  if (name.compare(0, 5, "temp/") != 0) return {};
  std::string checked = "temp";
  size_t pos = 5;
  while (pos <= name.size()) {
    size_t end = name.find('/', pos);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(pos, end - pos);
    if (part == "..") return {};
    if (part.find(':') != std::string::npos) return {};
    if (!part.empty() && part != ".") checked += "/" + part;
    pos = end + 1;
  }
  if (!name.empty() && name.back() == '/') checked += "/";
  return checked;
}

Tmakeprjfile::Tmakeprjfile(fs::path home) : home_(std::move(home)) {}

void Tmakeprjfile::CollectFiles(const std::string& folder) {
  std::error_code ec;
  std::vector<fs::directory_entry> entries;
  for (auto it = fs::directory_iterator(home_ / folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
    entries.push_back(*it);
  std::sort(entries.begin(), entries.end(),
            [](const auto& a, const auto& b) { return a.path().filename() < b.path().filename(); });
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    if (IsHidden(name) || entry.is_symlink(ec)) continue;
    if (entry.is_directory(ec)) CollectFiles(folder + name + "/");
    else if (entry.is_regular_file(ec)) Files.push_back(folder + name);
  }
}

void Tmakeprjfile::Pack(const fs::path& path) {
  Files.clear();
  CollectFiles("temp/");
  const fs::path tmp = TemporarySibling(path);
  zipFile zip = zipOpen64(tmp.c_str(), APPEND_STATUS_CREATE);
  if (!zip) throw FileError(FileErrorText("cannot write", path, std::strerror(errno)));
  auto fail = [&](const std::string& message) {
    zipClose(zip, nullptr);
    ::unlink(tmp.c_str());
    throw FileError(message);
  };
  for (const std::string& file : Files) {
    std::string bytes;
    try {
      bytes = ReadFileBytes(home_ / file);
    } catch (const FileError& e) {
      fail(e.what());
    }
    const auto gbkName = TryUtf8ToGbk(file);
    const std::string entryName = gbkName ? *gbkName : file;
    const zip_fileinfo info = EntryInfo(home_ / file);
    const int zip64 = bytes.size() >= 0xFFFFFFFFu ? 1 : 0;
    if (zipOpenNewFileInZip4_64(zip, entryName.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                kDeflateLevel, 0, -MAX_WBITS, DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0,
                                gbkName ? 0 : kUtf8NameFlag, zip64) != ZIP_OK)
      fail(FileErrorText("cannot write", path, "ZIP entry " + entryName));
    size_t done = 0;
    while (done < bytes.size()) {
      const unsigned chunk = static_cast<unsigned>(std::min<size_t>(bytes.size() - done, 1u << 30));
      if (zipWriteInFileInZip(zip, bytes.data() + done, chunk) != ZIP_OK)
        fail(FileErrorText("cannot write", path, std::strerror(errno)));
      done += chunk;
    }
    if (zipCloseFileInZip(zip) != ZIP_OK) fail(FileErrorText("cannot write", path, std::strerror(errno)));
  }
  if (zipClose(zip, nullptr) != ZIP_OK) {
    ::unlink(tmp.c_str());
    throw FileError(FileErrorText("cannot write", path, std::strerror(errno)));
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    ::unlink(tmp.c_str());
    throw FileError(FileErrorText("cannot write", path, reason));
  }
}

Tmakeprjfile::UnpackResult Tmakeprjfile::Unpack(const fs::path& path, std::string* error) {
  auto unreadable = [&](const std::string& why) {
    if (error) *error = FileErrorText("cannot read the project file", path, why);
    return UnpackResult::Unreadable;
  };
  unzFile zip = unzOpen64(path.c_str());
  if (!zip) return unreadable(FileSizeOrMinusOne(path) < 0 ? "no such file" : "not a ZIP archive");
  struct Closer { unzFile z; ~Closer() { unzClose(z); } } closer{zip};

  // Check every entry before anything is extracted.
  std::vector<Entry> entries;
  std::vector<uint64_t> sizes;
  int status = unzGoToFirstFile(zip);
  while (status == UNZ_OK) {
    unz_file_info64 info{};
    char name[4096];
    if (unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK)
      return unreadable("damaged central directory");
    Entry entry;
    entry.utf8 = (info.flag & kUtf8NameFlag) != 0;
    entry.name = CheckedEntryName(name);
    if (entry.name.empty() || IsUnixSymlink(info)) return UnpackResult::Refused;
    entry.directory = entry.name.back() == '/';
    entries.push_back(entry);
    sizes.push_back(info.uncompressed_size);
    status = unzGoToNextFile(zip);
  }
  if (status != UNZ_END_OF_LIST_OF_FILE) return unreadable("damaged central directory");

  // Extract into a staging folder beside the workspace.
  const fs::path staging = home_ / (".unpack-" + std::to_string(::getpid()));
  std::error_code ec;
  fs::remove_all(staging, ec);
  struct Remover { fs::path p; ~Remover() { std::error_code e; fs::remove_all(p, e); } } remover{staging};
  std::vector<std::pair<fs::path, fs::path>> moves;  // staged file, relative target
  status = unzGoToFirstFile(zip);
  for (size_t i = 0; i < entries.size(); ++i, status = unzGoToNextFile(zip)) {
    if (status != UNZ_OK) return unreadable("damaged archive");
    const Entry& entry = entries[i];
    const fs::path relative = entry.utf8 ? fs::path(entry.name) : PathFromText(entry.name);
    if (entry.directory) {
      moves.emplace_back(fs::path(), relative);
      continue;
    }
    std::string bytes;
    if (!ReadEntry(zip, sizes[i], bytes)) return unreadable("damaged entry " + GbkToUtf8(entry.name));
    const fs::path staged = staging / std::to_string(i);
    fs::create_directories(staging, ec);
    try {
      WriteFileReplacing(staged, bytes);
    } catch (const FileError& e) {
      if (error) *error = e.what();
      return UnpackResult::Unreadable;
    }
    moves.emplace_back(staged, relative);
  }

  for (const auto& [staged, relative] : moves) {
    if (HasLinkedPart(home_, relative)) {
      if (error) *error = FileErrorText("cannot write", home_ / relative, "a part of the path is a symbolic link");
      return UnpackResult::Unreadable;
    }
    const fs::path target = home_ / relative;
    ec.clear();
    fs::create_directories(staged.empty() ? target : target.parent_path(), ec);
    if (!staged.empty()) fs::rename(staged, target, ec);
    if (ec) {
      if (error) *error = FileErrorText("cannot write", target, ec.message());
      return UnpackResult::Unreadable;
    }
  }
  return UnpackResult::Accepted;
}

}  // namespace panelcraft
