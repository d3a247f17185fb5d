// project new|open|save|close|info|set
#include <iostream>

#include "app/files.h"
#include "app/project.h"
#include "app/text.h"
#include "cli/cli.h"

namespace panelcraft::cli {

namespace {

void RequireNoProject(const Context& c) {
  if (c.g.ProjectOpen()) {
    std::cerr << "a project is open: " << Show(c.g.ProjectFile) << " (close it first: project close --save|--discard)\n";
    throw Failed();
  }
}

int New(Context& c, Args& args) {
  const std::string name = ArgToGbk(args.Next("NAME"));
  const auto file = args.Option("--file");
  args.Done();
  RequireNoProject(c);
  const std::string path = file ? PathArgToText(*file) : TextFromPath(c.g.Home / "test.lmx");
  if (!AcceptNewProjectDialog(c.g, name, path)) throw Failed();
  PrepareNewProject(c.g);
  c.g.Refresh();
  c.out << "new project " << Show(c.g.ProjectName) << " (" << Show(c.g.ProjectFile) << ")\n";
  return 0;
}

int Open(Context& c, Args& args) {
  const std::string path = PathArgToText(args.Next("PATH"));
  args.Done();
  RequireNoProject(c);
  if (!OpenProject(c.g, path)) throw Failed();
  c.out << "opened " << Show(c.g.ProjectName) << " (" << Show(c.g.ProjectFile) << ")\n";
  return 0;
}

int Save(Context& c, Args& args) {
  const auto as = args.Option("--as");
  args.Done();
  RequireProject(c);
  if (as) {
    if (!SaveProjectAs(c.g, PathArgToText(*as))) throw Failed();
    c.out << "saved as " << Show(c.g.ProjectFile) << "\n";
    return 0;
  }
  return SaveProject(c.g) ? 0 : 1;
}

int Close(Context& c, Args& args) {
  const bool save = args.Flag("--save");
  const bool discard = args.Flag("--discard");
  args.Done();
  if (save && discard) throw UsageError("--save and --discard exclude each other");
  RequireProject(c);
  if (save || discard) c.messages.Answer = save;
  if (!CloseProject(c.g)) throw Failed();
  c.out << "project closed\n";
  return 0;
}

int Info(Context& c, Args& args) {
  args.Done();
  if (!c.g.ProjectOpen()) {
    c.out << "no project is open (home " << c.g.Home.string() << ")\n";
    return 0;
  }
  c.out << "name: " << Show(c.g.ProjectName) << "\n"
        << "file: " << Show(c.g.ProjectFile) << "\n"
        << "baud: " << BaudText(c.g.BaudIndex) << " (index " << c.g.BaudIndex << ")\n"
        << "home: " << c.g.Home.string() << "\n"
        << "data files:\n";
  for (const char* file : {"rom.bin", "mini.idx", "mini.sbin", "hz16.sbin", "hz24.sbin", "hz32.sbin", "hz48.sbin",
                           "pic.idx", "pic.sbin", "srf.ini", "srf.mb", "pymb.bin"}) {
    const int64_t size = c.g.Rom.FileSizeOf(file);
    c.out << "  " << file << ": " << (size < 0 ? std::string("missing") : std::to_string(size) + " bytes") << "\n";
  }
  int pages = 0;
  for (int n = 0; n < 128; ++n)
    if (!c.g.Store.Value("pgcn" + std::to_string(n)).empty()) ++pages;
  c.out << "pages with statements: " << pages << "\n";
  return 0;
}

int Set(Context& c, Args& args) {
  const std::string what = args.Next("NAME or BAUD");
  const std::string text = ArgToGbk(args.Next("TEXT"));
  args.Done();
  RequireProject(c);
  // The parameter editor shows both rows and saves both.
  std::string name = c.g.ProjectName;
  std::string baud(BaudText(c.g.BaudIndex));
  if (what == "NAME" || what == "name") name = text;
  else if (what == "BAUD" || what == "baud") baud = text;
  else throw UsageError("project set takes NAME or BAUD");
  return SaveParameters(c.g, name, baud) ? 0 : 1;
}

}  // namespace

int ProjectCommand(Context& c, Args args) {
  const std::string verb = args.Next("project command");
  if (verb == "new") return New(c, args);
  if (verb == "open") return Open(c, args);
  if (verb == "save") return Save(c, args);
  if (verb == "close") return Close(c, args);
  if (verb == "info") return Info(c, args);
  if (verb == "set") return Set(c, args);
  throw UsageError("unknown project command: " + verb);
}

}  // namespace panelcraft::cli
