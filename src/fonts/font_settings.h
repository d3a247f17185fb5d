// Font settings of a project: which PC face draws each generated size and
// which characters the display gets, kept as project keys:
//   hz<n>zt    face of the Chinese glyphs of size n ("" = not set)
//   hz<n>bf    0 the small font of hz<n>memo, 1 all of GB2312, 2 all of GBK
//   hz<n>memo  the Chinese characters of the small font, as typed
//   asc<n>zt   face of the ASCII glyphs of size n ("" = not set)
//   asc<n>dk   1 every ASCII glyph n / 2 wide, 0 as wide as the face draws it
//   asc<n>bf   0 the 95 printable ASCII characters, 1 those of asc<n>memo
//   asc<n>memo the ASCII characters when asc<n>bf is 1
//   hz16bf     4 generate and place the 16-dot GBK full font, 0 not
// for n = 24, 32, 48, 64. This is the logic of the settings window and its
// two dialogs; every showing reads the store again.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace panelcraft {

class THashTable;
class UserMessages;

inline constexpr std::array<int32_t, 4> kSmallFontSizes{24, 32, 48, 64};

// "hz" or "asc", the size in decimal, then "zt", "bf", "dk" or "memo".
std::string FontKey(std::string_view kind, int32_t dotSize, std::string_view field);

// What the settings window shows (GBK texts).
struct FontSummary {
  std::array<std::string, 4> Ascii;    // zt24asc .. zt64asc
  std::array<std::string, 4> Chinese;  // zt24hz .. zt64hz
  bool AnyFaceUnset = false;
  bool GenerateEnabled = false;  // "生成"
  bool Gbk16Checked = false;     // "启用GBK16全字库"
};
FontSummary RefreshSummary(const THashTable& store);

// The "启用GBK16全字库" box clicked to `checked`.
void SetGbk16(THashTable& store, bool checked);

// The Chinese dialog of one size.
struct ChineseFontDialog {
  int32_t DotSize = 24;
  std::string Face;    // text of the face box
  int32_t Choice = 0;  // 0 list, 1 GB2312, 2 GBK (any other value shows as GBK)
  std::string List;    // text of the list editor

  // On show: the size's keys, "宋体" for an unset face.
  void Load(const THashTable& store, int32_t dotSize);
  std::string Heading() const;
  bool ListEnabled() const { return Choice == 0; }
  // "确认": writes the three keys and returns true, or shows why the choice
  // cannot be made (a full font at 64 dots, GBK at 48) and writes nothing.
  bool Confirm(THashTable& store, UserMessages& messages) const;
  // The refusal of a choice at a size, or "" when it can be made.
  static std::string Refusal(int32_t dotSize, int32_t choice);
};

// The ASCII dialog of one size.
struct AsciiFontDialog {
  int32_t DotSize = 24;
  std::string Face;
  int32_t FixedWidth = 0;  // "强制等宽"
  int32_t Set = 0;         // 0 all ASCII characters, 1 the list
  std::string List;

  void Load(const THashTable& store, int32_t dotSize);
  std::string Heading() const;  // "当前设置" + size + "点阵英文字符"
  bool ListEnabled() const { return Set != 0; }
  void Confirm(THashTable& store) const;
};

}  // namespace panelcraft
