#include "app/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "app/text.h"

namespace panelcraft {

fs::path PathFromText(std::string_view gbkPath) {
  std::string utf8 = GbkToUtf8(gbkPath);
  for (char& c : utf8)
    if (c == '\\') c = '/';
  return fs::path(utf8);
}

std::string TextFromPath(const fs::path& path) { return Utf8ToGbk(path.generic_string()); }

std::string FileErrorText(std::string_view what, const fs::path& path, std::string_view reason) {
  return std::string(what) + " " + TextFromPath(path) + ": " + std::string(reason);
}

namespace {

[[noreturn]] void ThrowErrno(std::string_view what, const fs::path& path) {
  throw FileError(FileErrorText(what, path, std::strerror(errno)));
}

}  // namespace

std::string ReadFileBytes(const fs::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) ThrowErrno("cannot open", path);
  std::string bytes;
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int saved = errno;
      ::close(fd);
      errno = saved;
      ThrowErrno("cannot read", path);
    }
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return bytes;
}

fs::path TemporarySibling(const fs::path& path) {
  static std::atomic<unsigned> counter{0};
  fs::path tmp = path;
  tmp += ".~tmp" + std::to_string(::getpid()) + "_" + std::to_string(counter++);
  return tmp;
}

void WriteFileReplacing(const fs::path& path, std::string_view bytes) {
  const fs::path tmp = TemporarySibling(path);
  const int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) ThrowErrno("cannot write", path);
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int saved = errno;
      ::close(fd);
      ::unlink(tmp.c_str());
      errno = saved;
      ThrowErrno("cannot write", path);
    }
    done += static_cast<size_t>(n);
  }
  if (::close(fd) != 0 || ::rename(tmp.c_str(), path.c_str()) != 0) {
    const int saved = errno;
    ::unlink(tmp.c_str());
    errno = saved;
    ThrowErrno("cannot write", path);
  }
}

int64_t FileSizeOrMinusOne(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_regular_file(path, ec)) return -1;
  const auto size = fs::file_size(path, ec);
  return ec ? -1 : static_cast<int64_t>(size);
}

bool DeleteFolder(const fs::path& folder) {
  std::error_code ec;
  // remove_all removes a symbolic link itself and never descends into it.
  fs::remove_all(folder, ec);
  return !ec && !fs::exists(fs::symlink_status(folder, ec));
}

}  // namespace panelcraft
