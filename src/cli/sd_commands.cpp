// sd pictures list|tidy|generate|move, sd rom, sd status: the SD card data
// files in the home's "sd" folder.
#include <iostream>

#include "app/text.h"
#include "cli/cli.h"
#include "sdcard/sd_data.h"

namespace panelcraft::cli {

int SdCommand(Context& c, Args args) {
  const std::string what = args.Next("sd command");
  if (what == "pictures") {
    SdPictureLibrary library(c.g.Home);
    return PictureLibraryCommand(c, library, args);
  }
  if (what == "rom") {
    const auto memory = args.Option("--memory");
    args.Done();
    bool written;
    if (memory) {
      // No display to ask: the memory size is given by hand.
      c.g.Rom.MemorySize = IntChoice(*memory, "--memory", {2, 4, 8, 16});
      written = WriteSdRomData(c.g);
    } else {
      written = MakeSdRomData(c.g);
    }
    if (!written) throw Failed();
    c.out << "rom.sbin: " << c.g.Rom.MemorySize << " MB\n";
    return 0;
  }
  if (what == "status") {
    args.Done();
    c.out << "pic.sbin  " << Show(SdFileStatus(SdFolder(c.g.Home) / "pic.sbin")) << "\n";
    c.out << "rom.sbin  " << Show(SdFileStatus(SdFolder(c.g.Home) / "rom.sbin")) << "\n";
    return 0;
  }
  throw UsageError("unknown sd command: " + what);
}

}  // namespace panelcraft::cli
