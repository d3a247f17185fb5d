#include "fonts/gbk_code_table.h"

#include <iconv.h>

#include <stdexcept>

namespace panelcraft {

namespace {

// One GBK code through iconv to UTF-32; 0 when it does not convert to exactly
// one character.
char32_t ConvertOne(iconv_t cd, const char* bytes, size_t length) {
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  char* in = const_cast<char*>(bytes);
  size_t inLeft = length;
  unsigned char out[8];
  char* outPtr = reinterpret_cast<char*>(out);
  size_t outLeft = sizeof out;
  if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0 ||
      outLeft != sizeof out - 4)
    return 0;
  return char32_t{out[0]} | char32_t{out[1]} << 8 | char32_t{out[2]} << 16 | char32_t{out[3]} << 24;
}

}  // namespace

GbkCodeTable::GbkCodeTable() : pairs_(126 * 191, 0) {
  iconv_t cd = iconv_open("UTF-32LE", "CP936");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert CP936 to UTF-32LE");
  for (int b = 0; b <= 0x80; ++b) {
    const char byte = static_cast<char>(b);
    single_[b] = ConvertOne(cd, &byte, 1);
  }
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      pairs_[static_cast<size_t>((lead - 0x81) * 191 + (trail - 0x40))] = ConvertOne(cd, code, 2);
    }
  iconv_close(cd);
}

char32_t GbkCodeTable::Pair(uint8_t lead, uint8_t trail) const {
  if (lead < 0x81 || lead > 0xFE || trail < 0x40 || trail > 0xFE) return 0;
  return pairs_[static_cast<size_t>((lead - 0x81) * 191 + (trail - 0x40))];
}

char32_t GbkCodeTable::Character(std::string_view gbk) const {
  if (gbk.size() == 1) return Single(static_cast<uint8_t>(gbk[0]));
  if (gbk.size() == 2) return Pair(static_cast<uint8_t>(gbk[0]), static_cast<uint8_t>(gbk[1]));
  return 0;
}

}  // namespace panelcraft
