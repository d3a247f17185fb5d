// Test support: a temporary folder removed at the end of the test, and a
// message sink that records what the core shows and answers its questions.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "app/messages.h"

namespace panelcraft::test {

class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "panelcraft-test.XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::filesystem::path& p) const { return path_ / p; }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class RecordingMessages : public UserMessages {
 public:
  void Show(const std::string& text) override { Shown.push_back(text); }
  bool Ask(const std::string& text) override {
    Asked.push_back(text);
    return Answer;
  }
  std::vector<std::string> Shown;
  std::vector<std::string> Asked;
  bool Answer = false;
};

}  // namespace panelcraft::test
