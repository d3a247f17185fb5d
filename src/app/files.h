// File helpers shared by every subsystem. Paths inside the program are GBK
// texts that may use "/" or "\"; on disk they are UTF-8 with "/".
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

namespace panelcraft {

namespace fs = std::filesystem;

// A file or folder operation that failed; the message names the file and the
// reason and is GBK (ASCII apart from the file name).
class FileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A GBK path text with "/" or "\" separators as a path on disk.
fs::path PathFromText(std::string_view gbkPath);

// A path on disk as GBK text with "/" separators (for messages and the store).
std::string TextFromPath(const fs::path& path);

// The message of a failed operation on `path`: what + " " + path + ": " + reason.
std::string FileErrorText(std::string_view what, const fs::path& path, std::string_view reason);

// Reads a whole file; throws FileError when it cannot be opened or read.
std::string ReadFileBytes(const fs::path& path);

// Writes a file whole: the bytes go to a temporary file in the same folder,
// which then replaces the old file, so a failure leaves the old file as it
// was. Throws FileError.
void WriteFileReplacing(const fs::path& path, std::string_view bytes);

// A temporary file name beside `path` for writing it whole ("name.~tmpNNNN").
fs::path TemporarySibling(const fs::path& path);

// Size of a regular file, or -1 when there is none.
int64_t FileSizeOrMinusOne(const fs::path& path);

// Deletes a folder with everything in it, never following a symbolic link
// out of it (links are removed, not their targets). Returns whether the
// folder is gone.
bool DeleteFolder(const fs::path& folder);

}  // namespace panelcraft
