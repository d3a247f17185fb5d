// The display's answer to the information query ";INF;": a line of
// space-separated tokens carrying the serial number, the resolution, the
// firmware version and the flash chip's code, and the firmware check.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace panelcraft {

class Trom;

// Fills SerialNumber, ScreenWidth, ScreenHeight, FirmwareText,
// FirmwareVersion, FlashCode and MemorySize of `rom` from a reply. Tokens that
// are missing read as empty text; any reply is safe.
void ParseDeviceInfo(std::string_view reply, Trom& rom);

// Memory size in MB of a two-character flash code: "14"/"41" 2, "15" 4,
// "16" 8, "17" 16, anything else 8.
int32_t MemorySizeFromCode(std::string_view code);

// Compares a firmware text ("5.55") with major.minor: 1 less, 2 equal, 3
// greater. The text's last character is never read as a digit, so "5.55"
// reads as 5.05 and "5.5" as 5.00.
int CompareVersion(std::string_view text, int32_t major, int32_t minor);

}  // namespace panelcraft
