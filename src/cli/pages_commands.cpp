// pages list|show|store|import-old: the page console from the command line.
#include <iostream>

#include "app/files.h"
#include "app/text.h"
#include "cli/cli.h"
#include "pages/page_console.h"
#include "pages/statement_lines.h"

namespace panelcraft::cli {

namespace {

int PageNumber(const std::string& text) {
  const int n = IntOrZero(text);
  if (n < 1 || n > PageList::PageCount) throw UsageError("page number 1..128 expected: " + text);
  return n;
}

// Line ends as the console's editor keeps them: CR LF.
std::string WithCrLf(std::string_view text) { return ReplaceAll(ReplaceAll(text, "\r\n", "\n"), "\n", "\r\n"); }

int List(Context& c, PageConsole&, Args& args) {
  const bool all = args.Flag("--all");
  args.Done();
  for (int n = 1; n <= PageList::PageCount; ++n) {
    const std::string content = c.g.Pages.PageContent(n);
    if (!all && content.empty() && c.g.Pages.PageName(n).empty()) continue;
    c.out << Show(c.g.Pages.PageCaption(n)) << " (" << WithoutLineBreaks(content).size() << " bytes)\n";
  }
  return 0;
}

int ShowPage(Context& c, PageConsole&, Args& args) {
  const int n = PageNumber(args.Next("N"));
  args.Done();
  c.out << "page " << n << "\nname: " << Show(c.g.Pages.PageName(n))
        << "\nbytes: " << WithoutLineBreaks(c.g.Pages.PageContent(n)).size() << " of "
        << PageByteLimit(n, c.g.BaudIndex) << "\n"
        << ReplaceAll(Show(c.g.Pages.PageContent(n)), "\r\n", "\n") << "\n";
  return 0;
}

int StorePage(Context& c, PageConsole& console, Args& args) {
  const int n = PageNumber(args.Next("N"));
  const auto name = args.Option("--name");
  const auto file = args.NextIfAny();
  args.Done();
  RequireProject(c);
  console.ChoosePage(n - 1);
  if (name) console.NameField = ArgToGbk(*name);
  console.EditorText = WithCrLf(ReadStatementInput(file));
  if (!console.StorePage()) throw Failed();
  c.out << "stored page " << n << " (" << WithoutLineBreaks(console.EditorText).size() << " bytes)\n";
  return 0;
}

int ImportOld(Context& c, PageConsole& console, Args& args) {
  if (args.Flag("--yes")) c.messages.Answer = true;
  const std::string path = args.Next("PATH-TO-Page1.str");
  args.Done();
  RequireProject(c);
  std::error_code ec;
  if (!fs::is_regular_file(fs::path(path), ec)) {
    std::cerr << "no such file: " << path << "\n";
    throw Failed();
  }
  if (!console.ConfirmImport()) {
    std::cerr << "import cancelled\n";
    return 1;
  }
  const PageConsole::ImportReport report = console.ImportOldPages(fs::path(path));
  c.out << "imported pages:";
  for (const int n : report.Imported) c.out << " " << n;
  c.out << (report.Imported.empty() ? " none\n" : "\n");
  return report.Skipped.empty() ? 0 : 1;
}

}  // namespace

int PagesCommand(Context& c, Args args) {
  const std::string verb = args.Next("pages command");
  PageConsole console(c.g);
  console.FormShow();
  if (verb == "list") return List(c, console, args);
  if (verb == "show") return ShowPage(c, console, args);
  if (verb == "store") return StorePage(c, console, args);
  if (verb == "import-old") return ImportOld(c, console, args);
  throw UsageError("unknown pages command: " + verb);
}

}  // namespace panelcraft::cli
