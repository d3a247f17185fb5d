#include "app/home.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>
#include <vector>

#include "app/files.h"

namespace panelcraft {

namespace {

const char* NonEmptyEnv(const char* name) {
  const char* value = std::getenv(name);
  return value && *value ? value : nullptr;
}

fs::path ProgramFolder() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? fs::path() : self.parent_path();
}

}  // namespace

fs::path ChooseHome(const std::optional<fs::path>& option) {
  if (option && !option->empty()) return fs::absolute(*option);
  if (const char* home = NonEmptyEnv("PANELCRAFT_HOME")) return fs::absolute(home);
  if (const char* data = NonEmptyEnv("XDG_DATA_HOME")) return fs::absolute(fs::path(data) / "panelcraft");
  const char* user = NonEmptyEnv("HOME");
  return fs::path(user ? user : "/tmp") / ".local/share/panelcraft";
}

fs::path FindBundledFile(const fs::path& name) {
  std::vector<fs::path> folders;
  if (const char* dir = NonEmptyEnv("PANELCRAFT_DATA_DIR")) folders.emplace_back(dir);
  const fs::path program = ProgramFolder();
  if (!program.empty()) {
    folders.push_back(program / "../share/panelcraft");
    folders.push_back(program / "data");
  }
#ifdef PANELCRAFT_BUILD_DATA_DIR
  folders.emplace_back(PANELCRAFT_BUILD_DATA_DIR);
#endif
  for (const auto& folder : folders)
    if (FileSizeOrMinusOne(folder / name) >= 0) return folder / name;
  return {};
}

void PrepareHome(const fs::path& home) {
  std::error_code ec;
  fs::create_directories(home, ec);
  if (!fs::is_directory(home)) throw FileError(FileErrorText("cannot create", home, ec.message()));
  const fs::path base = home / "default.bin";
  if (FileSizeOrMinusOne(base) >= 0) return;
  const fs::path bundled = FindBundledFile("default.bin");
  if (!bundled.empty()) WriteFileReplacing(base, ReadFileBytes(bundled));
}

}  // namespace panelcraft
