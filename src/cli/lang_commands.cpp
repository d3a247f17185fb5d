// catalogue, ccode, format: the statement language from the command line.
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "app/files.h"
#include "app/text.h"
#include "cli/cli.h"
#include "lang/c_code.h"
#include "pages/statement_lines.h"

namespace panelcraft::cli {

namespace {

const char* BoxKindText(int kind) {
  switch (kind) {
    case 1:
      return "rectangle by two corners";
    case 2:
      return "move only";
    case 3:
      return "no area";
    case 4:
      return "width only";
    case 5:
      return "rectangle by corner and size";
  }
  return "none";
}

// GBK text with CR LF line ends for the terminal: UTF-8, one "\n" per line.
std::string ShowLines(std::string_view gbk) { return ReplaceAll(Show(gbk), "\r\n", "\n"); }

int ListCatalogue(Context& c) {
  for (int i = 0; i < Tcmd::CategorySlots; ++i) {
    const std::string caption = c.g.Cmd.CategoryCaption(i);
    if (caption.empty() && c.g.Cmd.CategoryCount(i) == 0) continue;
    c.out << i << " " << Show(caption) << "\n";
    for (int k = 0; k < c.g.Cmd.CategoryCount(i); ++k) c.out << "  " << Show(c.g.Cmd.CategoryItem(i, k)) << "\n";
  }
  return 0;
}

int ShowEntry(Context& c, const std::string& typed) {
  const Tcmd& cmd = c.g.Cmd;
  // "Q128" or "BOX(0,0,1,1,1)" name their entry too.
  std::string name = typed;
  if (cmd.CategoryOf(name) < 0) name = StatementName(typed);
  const int category = cmd.CategoryOf(name);
  if (category < 0) {
    std::cerr << "no catalogue entry: " << Show(typed) << " (names are case-sensitive)\n";
    throw Failed();
  }
  c.out << "name: " << Show(name) << "\n"
        << "box kind: " << cmd.BoxKind(name) << " (" << BoxKindText(cmd.BoxKind(name)) << ")\n"
        << "category: " << category << " " << Show(cmd.CategoryCaption(category)) << "\n"
        << "syntax: " << Show(cmd.SyntaxLine(name)) << "\n"
        << "default: " << Show(cmd.DefaultStatement(name)) << "\n"
        << "parameters:";
  const std::vector<CatalogueParameter> parameters = cmd.Parameters(name);
  if (parameters.empty()) c.out << " none";
  c.out << "\n";
  for (const CatalogueParameter& p : parameters)
    c.out << "  " << Show(p.Name) << " (" << Show(p.Kind) << "): " << Show(p.Description) << "\n";
  c.out << "remark: " << Show(cmd.Remark(name)) << "\n";
  return 0;
}

}  // namespace

std::string ReadStatementInput(const std::optional<std::string>& file) {
  std::string bytes;
  if (file && *file != "-") {
    bytes = ReadFileBytes(fs::path(*file));
  } else {
    std::ostringstream all;
    all << std::cin.rdbuf();
    bytes = all.str();
  }
  // UTF-8 when it reads as UTF-8 (plain ASCII does either way), else GBK.
  if (auto gbk = TryUtf8ToGbk(bytes)) return *gbk;
  return bytes;
}

int CatalogueCommand(Context& c, Args args) {
  const auto name = args.NextIfAny();
  args.Done();
  return name ? ShowEntry(c, ArgToGbk(*name)) : ListCatalogue(c);
}

int CcodeCommand(Context& c, Args args) {
  const CCodePlan plan = args.Flag("--arduino") ? CCodePlan::Arduino : CCodePlan::PlainC;
  const ChineseMode mode = args.Flag("--hex") ? ChineseMode::HexEscape : ChineseMode::Gbk;
  const bool single = args.Flag("--single-line");
  const auto output = args.Option("-o");
  const auto file = args.NextIfAny();
  args.Done();
  const std::string code = ConvertToC(ReadStatementInput(file), plan, mode, single);
  if (output) {
    // The file as the generator window's output: GBK with CR LF.
    WriteFileReplacing(fs::path(*output), code + "\r\n");
  } else {
    c.out << ShowLines(code) << "\n";
  }
  return 0;
}

int FormatCommand(Context& c, Args args) {
  const auto file = args.NextIfAny();
  args.Done();
  c.out << ShowLines(FormatStatementLines(ReadStatementInput(file)));
  return 0;
}

}  // namespace panelcraft::cli
