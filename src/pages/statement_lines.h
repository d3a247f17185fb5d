// Statement text laid out one statement per line, as the console's editor and
// the designer show it.
#pragma once

#include <string>
#include <string_view>

namespace panelcraft {

// Removes every CR and LF, drops blanks outside single quotes and puts CR LF
// after every ";" outside them. Inside quotes "\" escapes the next byte, so
// "\'" does not close them. Works on bytes: a GBK trail byte counts as the
// single byte it equals.
std::string FormatStatementLines(std::string_view text);

// The text with every CR and LF removed: what the display's page slot and the
// serial line get.
std::string WithoutLineBreaks(std::string_view text);

}  // namespace panelcraft
