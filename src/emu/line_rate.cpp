#include "emu/line_rate.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace panelcraft::emu {

int64_t LineRate(int fd) {
  struct termios2 settings {};
  if (::ioctl(fd, TCGETS2, &settings) != 0) return -1;
  return settings.c_ospeed;
}

}  // namespace panelcraft::emu
