// Text helpers. Statement text, store values and every fixed message of the
// program are GBK bytes held in std::string; conversion to and from UTF-8
// happens only at the edges (terminal, file names on disk, font engines).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace panelcraft {

// A byte of 0x80 or above starts a two-byte character.
inline bool IsLeadByte(unsigned char b) { return b >= 0x80; }

// Reads a 32-bit signed integer: leading blanks, an optional sign, then
// decimal digits or hexadecimal digits after "$", "x", "X", "0x" or "0X".
// Nothing may follow. Anything else, and any overflow, gives 0.
int32_t IntOrZero(std::string_view text);

// GBK (code page 936) to UTF-8. Bytes that are not valid GBK become U+FFFD.
std::string GbkToUtf8(std::string_view gbk);

// UTF-8 to GBK, or nothing when a character has no GBK form or the input is
// not valid UTF-8.
std::optional<std::string> TryUtf8ToGbk(std::string_view utf8);

// UTF-8 to GBK; characters without a GBK form become "?".
std::string Utf8ToGbk(std::string_view utf8);

// The program's fixed texts are written in the sources as UTF-8 literals (the
// build sets the execution character set to UTF-8) and used as GBK bytes:
// Gbk("...") gives the bytes. Throws std::logic_error for text without a GBK
// form, which only a programming error can cause.
std::string Gbk(std::string_view utf8);

// Replaces every occurrence of `from` (not empty) by `to`, left to right.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Splits a text into lines; CR LF, a lone LF and a lone CR end a line. A final
// line without a line end is a line; a line end at the very end adds none.
std::vector<std::string> SplitLines(std::string_view text);

// Cuts a GBK text to at most `maxBytes` bytes without splitting a two-byte
// character.
std::string_view CutGbk(std::string_view text, size_t maxBytes);

}  // namespace panelcraft
