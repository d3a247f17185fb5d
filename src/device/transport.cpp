#include "device/transport.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>

#include "device/receive_buffer.h"

namespace panelcraft {

namespace {

char AsciiLower(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(AsciiLower(x)) < static_cast<unsigned char>(AsciiLower(y));
  });
}

}  // namespace

int64_t SteadyClock::NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool SteadyClock::WaitUntil(ReceiveBuffer& buffer, const std::function<bool()>& ready, int64_t deadlineMs) {
  using namespace std::chrono;
  const auto deadline = steady_clock::time_point(milliseconds(deadlineMs));
  for (;;) {
    const uint64_t seen = buffer.Generation();
    if (ready()) return true;
    const auto now = steady_clock::now();
    if (now >= deadline) return false;
    buffer.WaitForNews(seen, std::min(deadline, now + milliseconds(10)));
  }
}

void WaitMs(Clock& clock, ReceiveBuffer& buffer, int64_t ms) {
  clock.WaitUntil(
      buffer, [] { return false; }, clock.NowMs() + ms);
}

std::vector<std::string> SortedPortNames(std::vector<std::string> names) {
  if (const char* extra = std::getenv("PANELCRAFT_EXTRA_PORTS")) {
    std::string_view rest = extra;
    while (!rest.empty()) {
      const size_t colon = rest.find(':');
      const std::string_view name = rest.substr(0, colon);
      if (!name.empty()) names.emplace_back(name);
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  std::stable_sort(names.begin(), names.end(), LessIgnoringCase);
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

}  // namespace panelcraft
