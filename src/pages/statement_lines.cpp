#include "pages/statement_lines.h"

namespace panelcraft {

std::string WithoutLineBreaks(std::string_view text) {
  std::string plain;
  plain.reserve(text.size());
  for (const char b : text)
    if (b != '\r' && b != '\n') plain += b;
  return plain;
}

std::string FormatStatementLines(std::string_view text) {
  std::string result;
  bool inQuote = false;
  bool escape = false;
  for (const char b : WithoutLineBreaks(text)) {
    if (b != ' ' || inQuote) result += b;
    if (b == ';' && !inQuote) result += "\r\n";
    if (b == '\'' && !inQuote) {
      inQuote = true;
    } else if (b == '\'' && inQuote && !escape) {
      inQuote = false;
    } else {
      escape = b == '\\' && inQuote && !escape;
    }
  }
  return result;
}

}  // namespace panelcraft
