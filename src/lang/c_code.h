// The C code generator's conversion: statements into C source that sends them
// from a microcontroller, one call of a sending function per input line (or
// one for the whole input), the statements as a C string literal.
#pragma once

#include <string>
#include <string_view>

namespace panelcraft {

enum class CCodePlan {
  PlainC = 0,   // LmxSend("...");  the firmware provides LmxSend
  Arduino = 1,  // Serial.print("...");
};

enum class ChineseMode {
  Gbk = 0,        // GBK bytes stay in the literal
  HexEscape = 1,  // bytes of 0x80 and above as \xHH, the input line as a comment
};

// The body of one C string literal that holds `text` (control bytes dropped):
// "\" and double quotes are escaped; in HexEscape mode bytes of 0x80 and above
// become \xHH, and a hexadecimal digit right after such an escape starts a new
// literal ("\xB0" "a"), which C joins, so that it is not read into the escape.
std::string ConvertLine(std::string_view text, ChineseMode mode);

// The whole output, lines separated by CR LF. singleLine: one call for the
// whole input, ending with the C escapes of CR LF; otherwise one call per
// input line (an empty line gives an empty string) and a last call sending
// CR LF.
std::string ConvertToC(std::string_view input, CCodePlan plan, ChineseMode mode, bool singleLine);

}  // namespace panelcraft
