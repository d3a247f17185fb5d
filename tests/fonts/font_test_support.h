// Helpers of the font tests: the face they draw with and glyph bits.
#pragma once

#include <cstdint>

#include "app/files.h"
#include "support/temp_dir.h"

namespace panelcraft::testing {

// The face the tests draw with: installed by the setup script (fonts-wqy-zenhei).
inline const char* const kTestFace = "WenQuanYi Zen Hei";

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
