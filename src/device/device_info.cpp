#include "device/device_info.h"

#include <algorithm>
#include <vector>

#include "app/text.h"
#include "device/rom.h"

namespace panelcraft {

namespace {

// Characters from..to (counted from 1, both included) of a token, as far as
// the token reaches.
std::string_view Chars(std::string_view token, size_t from, size_t to) {
  if (from > token.size()) return {};
  return token.substr(from - 1, to - from + 1);
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Decimal digits from `at` up to, not including, `end`; saturates far above
// any version number instead of overflowing.
int64_t Digits(std::string_view text, size_t at, size_t end) {
  int64_t value = 0;
  for (; at < end && IsDigit(text[at]); ++at) value = std::min<int64_t>(value * 10 + (text[at] - '0'), 1'000'000'000);
  return value;
}

}  // namespace

int32_t MemorySizeFromCode(std::string_view code) {
  if (code == "14" || code == "41") return 2;
  if (code == "15") return 4;
  if (code == "16") return 8;
  if (code == "17") return 16;
  return 8;
}

void ParseDeviceInfo(std::string_view reply, Trom& rom) {
  // A token runs from after the space ending the previous one up to the next
  // space. The reply's last character (its line end) is never part of a
  // token, nor is a CR or LF: the display ends its line with CR LF, and a
  // code read with the CR in it would give the wrong memory size.
  std::string_view body = reply.substr(0, reply.empty() ? 0 : reply.size() - 1);
  body = body.substr(0, std::min(body.find('\r'), body.find('\n')));
  std::vector<std::string_view> tokens;
  while (tokens.size() < 7) {
    const size_t space = body.find(' ');
    tokens.push_back(body.substr(0, space));
    body = space == std::string_view::npos ? std::string_view() : body.substr(space + 1);
  }
  rom.SerialNumber = std::string(Chars(tokens[0], 4, 17));
  rom.ScreenWidth = IntOrZero(Chars(tokens[2], 4, 6));
  rom.ScreenHeight = IntOrZero(Chars(tokens[2], 8, 10));
  rom.FirmwareText = std::string(Chars(tokens[4], 2, tokens[4].size()));
  rom.FirmwareVersion = 100 * IntOrZero(Chars(tokens[4], 2, 2)) + IntOrZero(Chars(tokens[4], 4, 5));
  const std::string_view t7 = tokens[6];
  rom.FlashCode = std::string(t7.size() == 6 ? Chars(t7, 5, 6) : Chars(t7, 4, 5));
  rom.MemorySize = MemorySizeFromCode(rom.FlashCode);
}

int CompareVersion(std::string_view text, int32_t major, int32_t minor) {
  const size_t last = text.empty() ? 0 : text.size() - 1;
  const int64_t readMajor = Digits(text, 0, last);
  const size_t dot = text.find('.');
  const int64_t readMinor = dot == std::string_view::npos ? 0 : Digits(text, dot + 1, last);
  const int64_t have = readMajor * 100 + readMinor;
  const int64_t want = static_cast<int64_t>(major) * 100 + minor;
  return have < want ? 1 : have == want ? 2 : 3;
}

}  // namespace panelcraft
