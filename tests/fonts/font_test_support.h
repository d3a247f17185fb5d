// Helpers of the font tests: a temporary folder, a message recorder, and
// glyphs read back as rows of '#' and '.'.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "app/files.h"
#include "app/messages.h"

namespace panelcraft::testing {

// The face the tests draw with: installed by the setup script (fonts-wqy-zenhei).
inline const char* const kTestFace = "WenQuanYi Zen Hei";

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "panelcraft-fonts-XXXXXX").string();
    Path = mkdtemp(pattern.data());
  }
  ~TempFolder() { DeleteFolder(Path); }
  std::filesystem::path Path;
};

class RecordedMessages : public UserMessages {
 public:
  void Show(const std::string& text) override { Shown.push_back(text); }
  bool Ask(const std::string&) override { return true; }
  std::vector<std::string> Shown;
};

// Ink of a glyph: `columns` columns of `dots` dots, bit 0 the top dot.
inline bool GlyphDot(const uint8_t* glyph, int dots, int x, int y) {
  return glyph[x * (dots / 8) + y / 8] >> (y % 8) & 1;
}

inline bool HasInk(const uint8_t* glyph, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i)
    if (glyph[i]) return true;
  return false;
}

}  // namespace panelcraft::testing
