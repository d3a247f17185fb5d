#include "app/text.h"

#include <iconv.h>

#include <cerrno>
#include <limits>
#include <stdexcept>

namespace panelcraft {

int32_t IntOrZero(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X')) {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == text.size()) return 0;
  // The magnitude may reach 2^31 only for a negative number.
  const int64_t limit = negative ? int64_t{1} << 31 : (int64_t{1} << 31) - 1;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return 0;
    value = value * base + digit;
    if (value > limit) return 0;
  }
  return static_cast<int32_t>(negative ? -value : value);
}

namespace {

// One conversion through iconv. `lossy` replaces what cannot be converted by
// `replacement` and goes on; otherwise a failure gives nothing.
std::optional<std::string> Convert(const char* to, const char* from, std::string_view in,
                                   bool lossy, std::string_view replacement, size_t badInput) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert " + std::string(from) + " to " + to);
  std::string out;
  out.reserve(in.size() * 3 / 2 + 8);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char buffer[1024];
  bool failed = false;
  while (srcLeft > 0) {
    char* dst = buffer;
    size_t dstLeft = sizeof buffer;
    const size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (r != static_cast<size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    if (!lossy) { failed = true; break; }
    // EILSEQ or EINVAL: skip the offending input and put the replacement.
    out.append(replacement);
    const size_t skip = std::min(srcLeft, badInput);
    src += skip;
    srcLeft -= skip;
  }
  iconv_close(cd);
  if (failed) return std::nullopt;
  return out;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  return *Convert("UTF-8", "CP936", gbk, true, "\xEF\xBF\xBD", 1);
}

std::optional<std::string> TryUtf8ToGbk(std::string_view utf8) {
  return Convert("CP936", "UTF-8", utf8, false, {}, 1);
}

std::string Utf8ToGbk(std::string_view utf8) {
  // Convert character by character only when the whole text fails.
  if (auto whole = TryUtf8ToGbk(utf8)) return *whole;
  std::string out;
  size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char b = static_cast<unsigned char>(utf8[i]);
    size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 1;
    if (i + len > utf8.size()) len = 1;
    auto one = TryUtf8ToGbk(utf8.substr(i, len));
    out += one ? *one : "?";
    i += len;
  }
  return out;
}

std::string Gbk(std::string_view utf8) {
  auto gbk = TryUtf8ToGbk(utf8);
  if (!gbk) throw std::logic_error("fixed text without a GBK form: " + std::string(utf8));
  return *gbk;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) return std::string(text);
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (true) {
    const size_t hit = text.find(from, pos);
    if (hit == std::string_view::npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(to);
    pos = hit + from.size();
  }
  out.append(text.substr(pos));
  return out;
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string_view CutGbk(std::string_view text, size_t maxBytes) {
  if (text.size() <= maxBytes) return text;
  size_t i = 0;
  while (i < maxBytes) {
    const size_t len = IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
    if (i + len > maxBytes) break;
    i += len;
  }
  return text.substr(0, i);
}

}  // namespace panelcraft
