#include "ime/pymb.h"

#include <algorithm>

#include "app/files.h"
#include "app/text.h"

namespace panelcraft {

extern const unsigned char kPinyinTableData[];
extern const size_t kPinyinTableSize;

namespace {

constexpr size_t kRectangles = 16;
constexpr size_t kKeyChars = 528;
constexpr size_t kFirstLetterIndex = 1024;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

void Put16(std::string& out, size_t at, uint32_t value) {
  out[at] = static_cast<char>(value & 0xFF);
  out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// One character of a GBK text at `pos` as its two stored bytes (00 b for a
// single byte); false when none is left. A lead byte without its second
// byte at the end is no character.
bool NextChar(std::string_view text, size_t& pos, char& first, char& second) {
  if (pos >= text.size()) return false;
  const unsigned char b = static_cast<unsigned char>(text[pos]);
  if (!IsLeadByte(b)) {
    first = 0;
    second = text[pos++];
    return true;
  }
  if (pos + 1 >= text.size()) return false;
  first = text[pos];
  second = text[pos + 1];
  pos += 2;
  return true;
}

struct CodeLine {
  std::string Syllable;
  std::string Chars;  // 2 bytes per character
  int Class = 0;
};

}  // namespace

uint32_t ImeTableBuilder::CodeValue(std::string_view syllable) const {
  if (syllable.size() > 6) return 0;
  uint32_t v = 0;
  for (char letter : syllable) v = v * 32 + (KeyMap[static_cast<size_t>(letter - 'a')] & 31u) + 1;
  return v;
}

int ImeTableBuilder::ClassOf(std::string_view syllable) const {
  return (KeyMap[static_cast<size_t>(syllable[0] - 'a')] & 31) + 1;
}

ImeTableBuilder::Result ImeTableBuilder::Build(std::string_view layoutText, std::string_view codeText) {
  Result result;
  std::string header(HeaderSize, '\xFF');
  int mode = 1;

  for (const std::string& line : SplitLines(layoutText)) {
    if (line.size() < 5 || line[0] != '#' || !IsDigit(line[2]) || !IsDigit(line[3])) continue;
    const int number = (line[2] - '0') * 10 + (line[3] - '0');
    if (line[1] == 'S') {
      if (line.size() < 37) {
        result.ErrorLines.push_back(line);
        continue;
      }
      if (number > 4) continue;
      size_t pos = 5;
      for (size_t k = 0; k < 32; ++k) {
        char first, second;
        if (!NextChar(line, pos, first, second)) break;  // the keys left stay 0xFF
        header[kKeyChars + 64 * static_cast<size_t>(number) + 2 * k] = first;
        header[kKeyChars + 64 * static_cast<size_t>(number) + 2 * k + 1] = second;
        if (number == 0 && first == 0)
          KeyMap[k] = static_cast<uint8_t>(static_cast<unsigned char>(second) - (mode == 2 ? 0x30 : 0x61));
        // The line ran out of room for the keys still to come.
        if (k < 31 && line.size() - pos <= 1) result.ErrorLines.push_back(line);
      }
    } else if (line[1] == 'P') {
      if (number > 63) continue;
      size_t pos = 5;
      for (size_t i = 0; i < 4; ++i) {
        if (pos < line.size() && IsDigit(line[pos])) {
          uint32_t value = 0;
          for (; pos < line.size() && IsDigit(line[pos]); ++pos)
            value = (value * 10 + static_cast<uint32_t>(line[pos] - '0')) & 0xFFFF;
          Put16(header, kRectangles + 8 * static_cast<size_t>(number) + 2 * i, value);
        } else {
          result.ErrorLines.push_back(line);
        }
        ++pos;  // the separator after each number
      }
    } else if (line[1] == 'T') {
      if (number == 1 || number == 2) mode = number;
    }
  }

  std::vector<CodeLine> lines;
  for (const std::string& line : SplitLines(codeText)) {
    if (line.empty() || line[0] != '=') continue;
    size_t pos = 1;
    while (pos < line.size() && line[pos] >= 'a' && line[pos] <= 'z') ++pos;
    CodeLine code;
    code.Syllable = line.substr(1, pos - 1);
    if (code.Syllable.empty()) continue;
    code.Class = ClassOf(code.Syllable);
    ++pos;  // the byte after the syllable, normally "="
    char first, second;
    while (NextChar(line, pos, first, second)) {
      code.Chars += first;
      code.Chars += second;
    }
    lines.push_back(std::move(code));
  }
  std::stable_sort(lines.begin(), lines.end(), [](const CodeLine& a, const CodeLine& b) { return a.Class < b.Class; });

  size_t groups = 0;
  for (const CodeLine& code : lines) {
    const size_t n = (code.Chars.size() / 2 + 5) / 6;
    if (n > 255) {
      result.Refusal = Gbk("码表行的字太多(最多1530个): =") + code.Syllable;
      return result;
    }
    groups += n;
  }
  const size_t length = HeaderSize + 13 * lines.size() + 12 * groups;
  if (length > MaxFileSize) {
    result.Refusal = Gbk("码表文件太大: ") + std::to_string(length) + Gbk(" 字节,不能超过65535字节,请减少码表文字!");
    return result;
  }

  std::string& out = result.Bytes;
  out = header;
  out.resize(length, '\0');
  out[0] = 'P';
  out[1] = 'Y';
  out[2] = 'U';
  out[3] = '\xAA';
  out[4] = static_cast<char>(mode);
  Put16(out, 5, static_cast<uint32_t>(length));
  for (int c = 0; c <= 32; ++c) {
    const auto below = std::count_if(lines.begin(), lines.end(), [c](const CodeLine& code) { return code.Class < c; });
    Put16(out, kFirstLetterIndex + 2 * static_cast<size_t>(c), static_cast<uint32_t>(below));
  }
  size_t charAt = HeaderSize + 13 * lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    const CodeLine& code = lines[i];
    const size_t at = HeaderSize + 13 * i;
    const uint32_t value = CodeValue(code.Syllable);
    for (size_t b = 0; b < 4; ++b) out[at + b] = static_cast<char>((value >> (8 * b)) & 0xFF);
    for (size_t b = 0; b < 6; ++b) out[at + 4 + b] = b < code.Syllable.size() ? code.Syllable[b] : '\0';
    Put16(out, at + 10, static_cast<uint32_t>(charAt));
    const size_t n = (code.Chars.size() / 2 + 5) / 6;
    out[at + 12] = static_cast<char>(n);
    std::copy(code.Chars.begin(), code.Chars.end(), out.begin() + static_cast<std::ptrdiff_t>(charAt));
    charAt += 12 * n;  // the rest of the last group stays 00 00
  }
  result.Ok = true;
  return result;
}

const std::string& DefaultKeyLayoutText() {
  static const std::string text = [] {
    const std::string tail = " 00000";
    std::vector<std::string> lines = {"#S00#abcdefghijklmnopqrstuvwxyz" + tail + "  //中文状态下PY",
                                      "#S01#abcdefghijklmnopqrstuvwxyz" + tail + "  //E文状态下小写",
                                      "#S02#ABCDEFGHIJKLMNOPQRSTUVWXYZ" + tail + "  //E文状态下大写",
                                      "#S03#-!、:3;()8￥@\"#_9014/57？2，6。" + tail + "  //数字",
                                      "#S04#_!?\\{|~<*>$&`@+=[}-#^:],%." + tail + "  //符号",
                                      ""};
    const char* rectangles[][2] = {
        {"00", "17,79,43,116"},    {"01", "167,121,193,158"}, {"02", "107,121,133,158"}, {"03", "77,79,103,116"},
        {"04", "61,35,88,72"},     {"05", "107,79,133,116"},  {"06", "137,79,163,116"},  {"07", "167,79,193,116"},
        {"08", "211,35,238,72"},   {"09", "197,79,223,116"},  {"10", "227,79,253,116"},  {"11", "257,79,283,116"},
        {"12", "227,121,253,158"}, {"13", "197,121,223,158"}, {"14", "241,35,268,72"},   {"15", "271,35,298,72"},
        {"16", "1,35,28,72"},      {"17", "91,35,118,72"},    {"18", "47,79,73,116"},    {"19", "121,35,148,72"},
        {"20", "181,35,208,72"},   {"21", "137,121,163,158"}, {"22", "31,35,58,72"},     {"23", "77,121,103,158"},
        {"24", "151,35,178,72"},   {"25", "47,121,73,158"},   {"32", "0,164,36,201"},    {"33", "39,164,71,201"},
        {"34", "2,123,38,160"},    {"35", "77,164,103,201"},  {"36", "228,164,298,201"}, {"37", "263,123,299,160"},
        {"38", "60,0,88,28"},      {"39", "272,0,300,28"},    {"40", "2,0,57,28"},       {"46", "92,0,120,28"},
        {"47", "123,0,151,28"},    {"48", "154,0,182,28"},    {"49", "184,0,212,28"},    {"50", "214,0,242,28"},
        {"51", "243,0,271,28"},    {"52", "106,164,221,201"}};
    // Groups: the letter keys, the keys around them, the keys of the top row.
    for (const auto& [key, rectangle] : rectangles) {
      const std::string k = key;
      if (k == "32" || k == "38") lines.push_back("");
      lines.push_back("#P" + k + "#" + rectangle);
    }
    std::string joined;
    for (const std::string& line : lines) joined += Gbk(line) + "\r\n";
    return joined;
  }();
  return text;
}

const std::string& BuiltInCodeTable() {
  static const std::string text(reinterpret_cast<const char*>(kPinyinTableData), kPinyinTableSize);
  return text;
}

ImeTexts LoadImeTexts(const std::filesystem::path& workspace) {
  ImeTexts texts;
  const auto layout = workspace / "srf.ini", codes = workspace / "srf.mb";
  texts.Layout = FileSizeOrMinusOne(layout) >= 0 ? ReadFileBytes(layout) : DefaultKeyLayoutText();
  texts.Codes = FileSizeOrMinusOne(codes) >= 0 ? ReadFileBytes(codes) : BuiltInCodeTable();
  return texts;
}

void SaveImeTexts(const std::filesystem::path& workspace, const ImeTexts& texts) {
  WriteFileReplacing(workspace / "srf.ini", texts.Layout);
  WriteFileReplacing(workspace / "srf.mb", texts.Codes);
}

ImeTableBuilder::Result BuildImeTableFile(ImeTableBuilder& builder, const std::filesystem::path& workspace,
                                          const ImeTexts& texts, UserMessages& messages) {
  ImeTableBuilder::Result result = builder.Build(texts.Layout, texts.Codes);
  if (!result.Ok) {
    messages.Show(result.Refusal);
    return result;
  }
  WriteFileReplacing(workspace / "pymb.bin", result.Bytes);
  return result;
}

}  // namespace panelcraft
