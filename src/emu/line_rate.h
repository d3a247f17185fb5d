// The rate a terminal line is set to. Linux reports rates outside the old
// fixed table (256000, say) only through the TCGETS2 request, whose header
// cannot be included together with <termios.h>; hence a file of its own.
#pragma once

#include <cstdint>

namespace panelcraft::emu {

// The output rate of the terminal `fd`, or -1 when it cannot be read.
int64_t LineRate(int fd);

}  // namespace panelcraft::emu
