// Tmakeprjfile: the project file, a ZIP archive of the workspace "temp/".
// Entries are named "temp/..." relative to the program's home; names are GBK
// without the UTF-8 flag (UTF-8 with the flag only for a name that has no GBK
// form), so archives travel between this program and the Windows tool.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace panelcraft {

class Tmakeprjfile {
 public:
  // `home` is the folder that holds the workspace "temp".
  explicit Tmakeprjfile(std::filesystem::path home);

  // Writes an archive of every regular file below "temp/" (hidden files and
  // symbolic links left out), deflated at level 6, to a temporary file beside
  // `path` that then replaces `path`: a failed pack keeps the old file.
  // Throws FileError naming the file and the reason.
  void Pack(const std::filesystem::path& path);

  enum class UnpackResult {
    Accepted,    // every entry extracted
    Refused,     // an entry lies outside "temp\" or climbs out of it; nothing extracted
    Unreadable,  // not a ZIP archive or damaged; `error` says why; nothing changed
  };
  // Checks every entry first, then extracts all of them over the workspace.
  // The entries are extracted into a staging folder and moved into place only
  // when all of them were read whole, so a damaged archive changes nothing.
  UnpackResult Unpack(const std::filesystem::path& path, std::string* error = nullptr);

  // Adds every regular file below `folder` (relative to home, ending in "/")
  // to Files, in name order, subfolders where they are met.
  void CollectFiles(const std::string& folder);

  // Relative paths ("temp/...", UTF-8 as on disk) of the files to pack.
  std::vector<std::string> Files;

 private:
  std::filesystem::path home_;
};

// The checked form of an entry name: "temp/..." with "/" separators (GBK as
// stored, separators unified), or empty when the name is refused: not below
// "temp\", or with "..", a drive letter or an absolute part.
std::string CheckedEntryName(const std::string& storedName);

}  // namespace panelcraft
