#include "store/hash_table.h"

#include "app/files.h"
#include "app/text.h"

namespace panelcraft {

namespace {

std::string JoinLines(const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const auto& line : lines) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const auto& line : lines) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::filesystem::path FileOf(const std::filesystem::path& folder, std::string_view name,
                             const char* extension) {
  return folder / PathFromText(std::string(name) + extension);
}

}  // namespace

std::string THashTable::Escape(std::string_view value) {
  return ReplaceAll(ReplaceAll(value, "\r", "#~@A"), "\n", "#~@B");
}

std::string THashTable::Unescape(std::string_view stored) {
  return ReplaceAll(ReplaceAll(stored, "#~@A", "\r"), "#~@B", "\n");
}

void THashTable::LoadFrom(std::string_view name) {
  auto keys = SplitLines(ReadFileBytes(FileOf(Folder, name, ".key")));
  auto values = SplitLines(ReadFileBytes(FileOf(Folder, name, ".val")));
  values.resize(keys.size());
  Keys = std::move(keys);
  Values = std::move(values);
  FoundIndex = -1;
}

void THashTable::SaveTo(std::string_view name) const {
  WriteFileReplacing(FileOf(Folder, name, ".key"), JoinLines(Keys));
  WriteFileReplacing(FileOf(Folder, name, ".val"), JoinLines(Values));
}

int32_t THashTable::IndexOf(std::string_view key) const {
  for (size_t i = 0; i < Keys.size(); ++i)
    if (Keys[i] == key) return static_cast<int32_t>(i);
  return -1;
}

void THashTable::Find(std::string_view key) { FoundIndex = IndexOf(key); }

void THashTable::Put(std::string_view key, std::string_view value) {
  Find(key);
  if (FoundIndex >= 0) {
    Values[static_cast<size_t>(FoundIndex)] = Escape(value);
  } else {
    Keys.emplace_back(key);
    Values.push_back(Escape(value));
  }
}

void THashTable::PutInt(std::string_view key, int32_t value) { Put(key, std::to_string(value)); }

std::string THashTable::Get(std::string_view key) {
  Find(key);
  return FoundIndex < 0 ? std::string() : Unescape(Values[static_cast<size_t>(FoundIndex)]);
}

int32_t THashTable::GetInt(std::string_view key) { return IntOrZero(Get(key)); }

std::string THashTable::Value(std::string_view key) const {
  const int32_t i = IndexOf(key);
  return i < 0 ? std::string() : Unescape(Values[static_cast<size_t>(i)]);
}

int32_t THashTable::IntValue(std::string_view key) const { return IntOrZero(Value(key)); }

void THashTable::Clear() {
  Keys.clear();
  Values.clear();
  FoundIndex = -1;
}

}  // namespace panelcraft
