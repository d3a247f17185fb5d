// ime build|defaults: the input-method table from the workspace's key layout
// and code table texts ("temp/srf.ini", "temp/srf.mb", or the built-in ones).
#include <iostream>

#include "app/files.h"
#include "app/text.h"
#include "cli/cli.h"
#include "ime/pymb.h"

namespace panelcraft::cli {

int ImeCommand(Context& c, Args args) {
  const std::string verb = args.Next("ime command");
  if (verb == "build") {
    args.Done();
    ImeTableBuilder builder;
    const auto result = BuildImeTableFile(builder, c.g.Workspace(), LoadImeTexts(c.g.Workspace()), c.messages);
    c.out << Show(Gbk("错误语句：")) << "\n";
    for (const std::string& line : result.ErrorLines) c.out << Show(line) << "\n";
    if (!result.Ok) throw Failed();
    c.out << "pymb.bin: " << result.Bytes.size() << " bytes\n";
    return 0;
  }
  if (verb == "defaults") {
    const bool yes = args.Flag("--yes");
    args.Done();
    const fs::path ws = c.g.Workspace();
    if (!yes && (FileSizeOrMinusOne(ws / "srf.ini") >= 0 || FileSizeOrMinusOne(ws / "srf.mb") >= 0))
      throw UsageError("srf.ini or srf.mb exists; --yes replaces them");
    SaveImeTexts(ws, ImeTexts{DefaultKeyLayoutText(), BuiltInCodeTable()});
    c.out << "wrote srf.ini and srf.mb\n";
    return 0;
  }
  throw UsageError("unknown ime command: " + verb);
}

}  // namespace panelcraft::cli
