// The built-in base data file "default.bin": the display's 12- and 16-dot
// Chinese fonts and its 8 x 16 ASCII font, made from the WenQuanYi Bitmap
// Song strikes, so that a new home can simulate 12- and 16-dot text without
// fetching the base data from the server.
//
// Layout (the ROM image's first 0x76000 bytes; 0xFF where nothing is said):
//   256      version word, 32-bit little-endian signed (kBaseDataVersion)
//   0x5000   12-dot GB2312 font, 24 bytes per glyph: 12 columns of 2 bytes,
//            dots 1..8 of a column in bits 0..7 of its first byte, dots 9..12
//            in bits 0..3 of its second
//   0x35000  16-dot GB2312 font, 32 bytes per glyph: 16 columns of 2 bytes
//   0x75000  8 x 16 ASCII font from code 0x20 to 0x7E, 16 bytes per character
//            (8 columns of 2 bytes), drawn from the 12-pixel strike
// The glyph of (lead, trail) is glyph number (lead - 0xA1) x 94 +
// (trail - 0xA1). Codes that GB2312 leaves empty have blank glyphs.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "device/rom.h"

namespace panelcraft {

inline constexpr int32_t kBaseDataVersion = 1;
inline constexpr uint32_t kBaseDataVersionOffset = 256;
inline constexpr uint32_t kBaseDataSize = Trom::MiniData;

// The font file of the WenQuanYi Bitmap Song strike of a pixel size (12 or
// 16), found through fontconfig, or empty.
std::filesystem::path FindBitmapSongStrike(int pixelSize);

// The base data made from a 12-pixel and a 16-pixel bitmap font file. Throws
// FontError when a file cannot be read as a font.
std::string MakeBaseData(const std::filesystem::path& font12, const std::filesystem::path& font16);

}  // namespace panelcraft
