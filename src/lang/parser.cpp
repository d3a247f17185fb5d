// Reading statement text: statement lists split into statements, statement
// names, and the arguments of one statement read one after the other. All of
// it works on bytes and never fails; every read yields a value.
#include "app/text.h"
#include "lang/cmd.h"

namespace panelcraft {

namespace {

bool IsDigit(int b) { return b >= '0' && b <= '9'; }

bool StartsWithLettersThenDigit(std::string_view text, std::string_view letters) {
  return text.size() > letters.size() && text.substr(0, letters.size()) == letters &&
         IsDigit(static_cast<unsigned char>(text[letters.size()]));
}

}  // namespace

void SplitStatementList(std::string_view text, const std::function<void(const std::string&)>& run) {
  bool inQuote = false;
  std::string statement;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    if (b == ';' && !inQuote) {
      if (!statement.empty()) run(statement);
      statement.clear();
      continue;
    }
    if (b == '\'') {
      // Only the byte just before counts: a quote after "\\" stays escaped.
      if (!inQuote) {
        inQuote = true;
      } else if (i == 0 || text[i - 1] != '\\') {
        inQuote = false;
      }
    }
    if (b > 0x20 || inQuote) statement += static_cast<char>(b);
  }
}

std::string StatementName(std::string_view statement) {
  if (StartsWithLettersThenDigit(statement, "Q")) return "Qn";
  if (StartsWithLettersThenDigit(statement, "S")) return "Sn";
  if (StartsWithLettersThenDigit(statement, "DR")) return "DRn";
  size_t end = statement.find('(');
  if (end == std::string_view::npos) end = statement.find(';');
  return std::string(statement.substr(0, end));
}

bool IsGroupOpener(std::string_view name) { return name == "SXY" || name == "W8UE" || name == "CEUE"; }

int Tcmd::ByteAt(int32_t position) const {
  if (position < 1 || static_cast<size_t>(position) > CurrentStatement.size()) return -1;
  return static_cast<unsigned char>(CurrentStatement[static_cast<size_t>(position) - 1]);
}

void Tcmd::BeginReading(std::string_view statement, int32_t position) {
  CurrentStatement.assign(statement);
  ReadPos = position;
}

int32_t Tcmd::ReadNumber() {
  int32_t value = 0;
  for (int digits = 0; digits < MaxNumberDigits && IsDigit(ByteAt(ReadPos)); ++digits) {
    value = value * 10 + (ByteAt(ReadPos) - '0');
    ++ReadPos;
  }
  ++ReadPos;  // the separator, whatever it is
  return value;
}

void Tcmd::ReadText() {
  ++ReadPos;  // the opening quote, whatever it is
  LastText.clear();
  for (int taken = 0; taken < MaxTextBytes; ++taken) {
    int b = ByteAt(ReadPos++);
    if (b == '\'') {
      ++ReadPos;  // the separator
      return;
    }
    if (b == '\\') b = ByteAt(ReadPos++);
    if (b >= 0) LastText += static_cast<char>(b);
  }
}

void Tcmd::RunStatementList(std::string_view text) {
  SplitStatementList(text, [this](const std::string& statement) {
    if (Runner) Runner(statement);
  });
}

}  // namespace panelcraft
