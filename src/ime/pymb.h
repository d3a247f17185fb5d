// The input-method table "temp/pymb.bin" of the display's on-screen keyboard,
// built from two GBK texts: the key layout text ("#S" lines: the 32 keys of
// each input state, "#P" lines: key rectangles, "#T" lines: input mode) and
// the code table text ("=" + pinyin syllable + "=" + its characters).
//
// File layout, numbers little-endian: "PYU" 0xAA, mode, 16-bit length, key
// rectangles at 16, key characters at 528, the first-letter index at 1024,
// 13-byte code entries at 1104, then the characters in groups of six.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/messages.h"

namespace panelcraft {

class ImeTableBuilder {
 public:
  static constexpr size_t HeaderSize = 1104;
  static constexpr size_t MaxFileSize = 65535;  // length and offsets are 16-bit fields

  struct Result {
    bool Ok = false;                      // false: refused, nothing to write
    std::string Refusal;                  // why (GBK), when refused
    std::string Bytes;                    // the whole file
    std::vector<std::string> ErrorLines;  // layout lines listed under "错误语句"
  };

  // The key map taken from the state-00 line; entries of double-byte keys
  // keep their values from an earlier build.
  std::array<uint8_t, 32> KeyMap{};

  // Code table lines not grouped by their first letter's class are put in
  // class order (keeping their order within a class), so the first-letter
  // index is right. A table of 65,536 bytes or more is refused.
  Result Build(std::string_view layoutText, std::string_view codeText);

  // Code value and class of a syllable under the current key map.
  uint32_t CodeValue(std::string_view syllable) const;
  int ClassOf(std::string_view syllable) const;
};

// The default key layout text and the built-in code table (GBK, CR LF).
const std::string& DefaultKeyLayoutText();
const std::string& BuiltInCodeTable();

// The two texts of the workspace: "srf.ini" and "srf.mb", or the defaults
// for files that do not exist.
struct ImeTexts {
  std::string Layout;
  std::string Codes;
};
ImeTexts LoadImeTexts(const std::filesystem::path& workspace);
void SaveImeTexts(const std::filesystem::path& workspace, const ImeTexts& texts);

// "生成码表文件": builds from the texts and replaces "pymb.bin" in the
// workspace. A refused table is shown and leaves the old file alone.
ImeTableBuilder::Result BuildImeTableFile(ImeTableBuilder& builder, const std::filesystem::path& workspace,
                                          const ImeTexts& texts, UserMessages& messages);

}  // namespace panelcraft
