// GbkCodeTable: the Unicode character of every one- and two-byte GBK code
// (code page 936), worked out once so that drawing thousands of glyphs costs
// no text conversion per glyph.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace panelcraft {

class GbkCodeTable {
 public:
  GbkCodeTable();

  // The character of a one-byte code (0x00..0x80), or 0 when there is none.
  char32_t Single(uint8_t byte) const { return byte <= 0x80 ? single_[byte] : 0; }
  // The character of a lead byte 0x81..0xFE and a trail byte 0x40..0xFE, or 0
  // when the pair is not a GBK character.
  char32_t Pair(uint8_t lead, uint8_t trail) const;
  // A GBK string of one character: one byte, or a lead and a trail byte.
  char32_t Character(std::string_view gbk) const;

 private:
  char32_t single_[0x81] = {};
  std::vector<char32_t> pairs_;  // 126 rows of 191 trail bytes
};

}  // namespace panelcraft
