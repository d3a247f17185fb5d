#include "lang/c_code.h"

#include <vector>

#include "app/text.h"

namespace panelcraft {

namespace {

constexpr std::string_view kLineBreakCode = "\\r\\n";
constexpr std::string_view kEndOfCall = "\");";
constexpr std::string_view kCommentOpener = " //";

bool IsHexDigit(unsigned char b) { return (b >= '0' && b <= '9') || (b >= 'a' && b <= 'f') || (b >= 'A' && b <= 'F'); }

std::string Prefix(CCodePlan plan) { return plan == CCodePlan::Arduino ? "Serial.print(\"" : "LmxSend(\""; }

}  // namespace

std::string ConvertLine(std::string_view text, ChineseMode mode) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  bool afterHexEscape = false;
  for (const char ch : text) {
    const unsigned char b = static_cast<unsigned char>(ch);
    if (b < 0x20) continue;
    if (mode == ChineseMode::HexEscape && b >= 0x80) {
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 0x0F];
      afterHexEscape = true;
      continue;
    }
    // C reads every hexadecimal digit after \x into the escape.
    if (afterHexEscape && IsHexDigit(b)) out += "\" \"";
    afterHexEscape = false;
    // Inside a literal a backslash or a double quote needs its own backslash,
    // wherever it stands in the statement.
    if (b == '\\' || b == '"') out += '\\';
    out += ch;
  }
  return out;
}

std::string ConvertToC(std::string_view input, CCodePlan plan, ChineseMode mode, bool singleLine) {
  const std::string prefix = Prefix(plan);
  std::vector<std::string> lines;
  if (singleLine) {
    lines.push_back(prefix + ConvertLine(input, mode) + std::string(kLineBreakCode) + std::string(kEndOfCall));
  } else {
    for (const std::string& line : SplitLines(input)) {
      std::string call = prefix + ConvertLine(line, mode) + std::string(kEndOfCall);
      if (mode == ChineseMode::HexEscape) {
        call += kCommentOpener;
        call += line;
        // A comment ending in "\" would carry on into the next line in C.
        if (!line.empty() && line.back() == '\\') call += '.';
      }
      lines.push_back(std::move(call));
    }
    lines.push_back(prefix + std::string(kLineBreakCode) + std::string(kEndOfCall));
  }
  std::string output;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) output += "\r\n";
    output += lines[i];
  }
  return output;
}

}  // namespace panelcraft
