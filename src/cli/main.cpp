// panelcraft-cli: every core job from the command line, on the workspace of
// the program's home, the way the windows do it.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/files.h"
#include "app/global.h"
#include "app/home.h"
#include "cli/cli.h"

using namespace panelcraft;
using namespace panelcraft::cli;

namespace {

struct Command {
  const char* name;
  int (*run)(Context&, Args);
  const char* usage;
};

const Command kCommands[] = {
    {"project", ProjectCommand,
     "project new NAME [--file PATH] | open PATH | save [--as PATH] | close [--save|--discard] | info |\n"
     "          set NAME|BAUD TEXT"},
    {"store", StoreCommand, "store get KEY | put KEY VALUE | list"},
    {"rom", RomCommand, "rom build [--memory 2|4|8|16] [-o FILE] | info FILE [--memory 2|4|8|16]"},
    {"fonts", FontsCommand,
     "fonts faces | summary | gbk16 on|off | generate |\n"
     "          set SIZE asc|hz FACE [--set all|gb2312|gbk|list] [--fixed] [--chars TEXT]\n"
     "          (SIZE 24|32|48|64; --set and --chars keep the stored value when left out)"},
    {"make-base", MakeBaseCommand, "make-base FILE [--font12 PCF] [--font16 PCF]"},
    {"catalogue", CatalogueCommand, "catalogue [NAME]"},
    {"ccode", CcodeCommand, "ccode [--arduino] [--hex] [--single-line] [-o FILE] [FILE]"},
    {"format", FormatCommand, "format [FILE]"},
    {"pages", PagesCommand,
     "pages list [--all] | show N | store N [--name NAME] [FILE] | import-old PATH-TO-Page1.str [--yes]"},
    {"ports", PortsCommand, "ports"},
    {"connect", ConnectCommand, "connect [--port NAME] [--baud RATE] [--auto] [--delay MS] [--keep-rate]"},
    {"send", SendCommand,
     "send [--port NAME] [--baud RATE] [--auto] [--delay MS] [--keep-rate] [--wait MS] TEXT | --tool NAME\n"
     "          (NAME clear, brightest, touch-calibration, touch-test, touch-info, sd-picture, terminal)"},
    {"linetest", LineTestCommand, "linetest --port NAME --baud RATE"},
    {"upload", UploadCommand,
     "upload [--port NAME] [--baud RATE] [--auto] [--delay MS] [--keep-rate] [--all|--fonts|--pages|--pictures]\n"
     "          [--force]"},
    {"run", RunCommand,
     "run [--rom FILE] [--size WxH] [--report] [-o FILE.png|FILE.ppm] [STATEMENTS...]\n"
     "          (each argument a statement or a statement list; none: the list on standard input)"},
    {"render", RenderCommand, "render N [--size WxH] [-o FILE.png|FILE.ppm]"},
    {"pictures", PicturesCommand, "pictures list | tidy | generate | move FROM TO   (positions as listed)"},
    {"gifstrip", GifStripCommand, "gifstrip IN.gif [OUT.jpg] [--yes]   (default OUT: temp/pic/NAME.jpg)"},
    {"sd", SdCommand, "sd pictures list|tidy|generate|move FROM TO | rom [--memory 2|4|8|16] | status"},
    {"ime", ImeCommand, "ime build | defaults [--yes]"},
};

void PrintUsage(std::ostream& out) {
  out << "usage: panelcraft-cli [--home DIR] COMMAND ...\n\ncommands:\n";
  for (const Command& command : kCommands) out << "  " << command.usage << "\n";
  out << "\nThe home (default $PANELCRAFT_HOME, else $XDG_DATA_HOME/panelcraft) holds the workspace temp/,\n"
         "default.bin, ser.ini and sd/.\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> words(argv + 1, argv + argc);
  Args global(words);
  std::optional<fs::path> homeOption;
  try {
    if (auto home = global.Option("--home")) homeOption = *home;
  } catch (const UsageError& e) {
    std::cerr << e.what() << "\n";
    return 2;
  }
  if (global.Flag("--help") || global.Flag("-h")) {
    PrintUsage(std::cout);
    return 0;
  }
  auto name = global.NextIfAny();
  const Command* command = nullptr;
  for (const Command& candidate : kCommands)
    if (name && *name == candidate.name) command = &candidate;
  if (!command) {
    if (name) std::cerr << "unknown command: " << *name << "\n";
    PrintUsage(std::cerr);
    return 2;
  }

  CliMessages messages;
  try {
    const fs::path home = ChooseHome(homeOption);
    PrepareHome(home);
    Tglobal g(home, messages);
    g.Start();
    Context context{g, messages, std::cout};
    int code = 0;
    try {
      code = command->run(context, std::move(global));
    } catch (...) {
      g.Finish();
      throw;
    }
    g.Finish();
    return code;
  } catch (const UsageError& e) {
    std::cerr << e.what() << "\nusage: panelcraft-cli [--home DIR] " << command->usage << "\n";
    return 2;
  } catch (const Failed& e) {
    if (*e.what()) std::cerr << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    std::cerr << Show(e.what()) << "\n";
    return 1;
  }
}
