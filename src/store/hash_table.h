// THashTable: the ordered key-value store behind every project setting and
// page. Keys keep their insertion order, which is also the line order of the
// two files "<stem>.key" and "<stem>.val" in the store's folder. Lookups scan
// from the start and compare bytes exactly. Values never hold CR or LF in
// memory or on disk: Put writes them as "#~@A" and "#~@B", Get turns those
// texts back (irreversibly for values that held them literally).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace panelcraft {

class THashTable {
 public:
  // The folder of the two files; the project store's is the workspace "temp".
  std::filesystem::path Folder = "temp";

  std::vector<std::string> Keys;
  std::vector<std::string> Values;  // escaped
  int32_t FoundIndex = -1;

  // Replaces the content with the lines of "<Folder>/<name>.key" and ".val".
  // Throws FileError when a file is missing or unreadable; the content is
  // unchanged then. A value file shorter than the key file gives empty
  // values; surplus value lines are dropped.
  void LoadFrom(std::string_view name);
  // Writes both files whole (GBK, CR LF after every line). Throws FileError.
  void SaveTo(std::string_view name) const;

  void Find(std::string_view key);
  void Put(std::string_view key, std::string_view value);
  void PutInt(std::string_view key, int32_t value);
  std::string Get(std::string_view key);
  int32_t GetInt(std::string_view key);
  void Clear();

  size_t Count() const { return Keys.size(); }
  // Lookup without touching FoundIndex, for readers that hold a const store.
  std::string Value(std::string_view key) const;
  int32_t IntValue(std::string_view key) const;

  static std::string Escape(std::string_view value);
  static std::string Unescape(std::string_view stored);

 private:
  int32_t IndexOf(std::string_view key) const;
};

}  // namespace panelcraft
