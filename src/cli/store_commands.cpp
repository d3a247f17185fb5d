// store get|put|list: the project store as the tools see it.
#include "app/text.h"
#include "cli/cli.h"

namespace panelcraft::cli {

int StoreCommand(Context& c, Args args) {
  const std::string verb = args.Next("store command");
  if (verb == "get") {
    const std::string key = ArgToGbk(args.Next("KEY"));
    args.Done();
    c.out << Show(c.g.Store.Get(key)) << "\n";
    return 0;
  }
  if (verb == "put") {
    const std::string key = ArgToGbk(args.Next("KEY"));
    const std::string value = ArgToGbk(args.Next("VALUE"));
    args.Done();
    RequireProject(c);
    c.g.Store.Put(key, value);
    return 0;  // the workspace is saved at the end, as the program does
  }
  if (verb == "list") {
    args.Done();
    for (size_t i = 0; i < c.g.Store.Count(); ++i)
      c.out << Show(c.g.Store.Keys[i]) << "=" << Show(c.g.Store.Values[i]) << "\n";
    return 0;
  }
  throw UsageError("unknown store command: " + verb);
}

}  // namespace panelcraft::cli
