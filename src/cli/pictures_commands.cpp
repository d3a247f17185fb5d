// pictures list|tidy|generate|move: the picture window on "temp/pic";
// gifstrip: the GIF strip tool. The list order lives only until the next
// refresh, so "move" makes it last by tidying the file names.
#include <iostream>

#include "app/files.h"
#include "app/text.h"
#include "cli/cli.h"
#include "pictures/gif_strip.h"
#include "pictures/picture_library.h"

namespace panelcraft::cli {

namespace {

void PrintTiles(Context& c, const PictureLibrary& library) {
  for (size_t p = 0; p < library.Tiles.size(); ++p) {
    const PictureTile& tile = library.Tiles[p];
    c.out << (p + 1) << "  " << library.PictureNumber(p) << "  " << Show(tile.Hint);
    if (tile.Slot >= 0) {
      const auto& slot = library.Store.FullPictures[static_cast<size_t>(tile.Slot)];
      c.out << "  " << slot.Width << "x" << slot.Height;
    } else {
      c.out << "  (not readable)";
    }
    c.out << "\n";
  }
}

size_t PositionArg(const std::string& text, const PictureLibrary& library) {
  const int32_t position = IntOrZero(text);
  if (position < 1 || static_cast<size_t>(position) > library.Tiles.size())
    throw UsageError("position " + text + " is not in the list (1 to " + std::to_string(library.Tiles.size()) + ")");
  return static_cast<size_t>(position - 1);
}

}  // namespace

int PictureLibraryCommand(Context& c, PictureLibrary& library, Args& args) {
  const std::string verb = args.Next("list|tidy|generate|move");
  if (verb == "list" || verb == "tidy" || verb == "generate") {
    args.Done();
    library.RefreshList(c.messages);
    if (verb == "tidy") library.TidyFileNames(c.messages);
    if (verb == "generate") {
      ProgressBar bar;
      library.GeneratePictureData(c.messages, [&](int percent) { bar.Show(percent); });
      bar.Clear();
      c.out << "pictures: " << library.Tiles.size() << ", data: " << library.Store.DataPos << " bytes\n";
      return 0;
    }
    PrintTiles(c, library);
    return 0;
  }
  if (verb == "move") {
    const std::string from = args.Next("FROM"), to = args.Next("TO");
    args.Done();
    library.RefreshList(c.messages);
    library.MoveTile(PositionArg(from, library), PositionArg(to, library));
    library.TidyFileNames(c.messages);
    PrintTiles(c, library);
    return 0;
  }
  throw UsageError("unknown pictures command: " + verb);
}

int PicturesCommand(Context& c, Args args) {
  PictureLibrary library(PictureLibraryKind::Project, c.g.PicFolder(), c.g.Workspace());
  return PictureLibraryCommand(c, library, args);
}

int GifStripCommand(Context& c, Args args) {
  const bool yes = args.Flag("--yes");
  const std::string in = args.Next("IN.gif");
  const auto out = args.NextIfAny();
  args.Done();
  if (yes) c.messages.Answer = true;
  const fs::path gifFile = PathFromText(ArgToGbk(in));
  const fs::path target =
      out ? PathFromText(ArgToGbk(*out)) : c.g.PicFolder() / PathFromText(GifBaseName(gifFile) + ".jpg");
  GifPicture gif;
  try {
    gif = DecodeGif(ReadFileBytes(gifFile));
  } catch (const PictureError& e) {
    throw Failed(in + ": " + e.what());
  }
  const Bitmap strip = MakeGifStrip(gif);
  if (!SaveGifStrip(target, EncodeJpeg(strip, kGifStripQuality), c.messages)) {
    c.out << "not saved\n";
    return 1;
  }
  c.out << Show(TextFromPath(target)) << ": " << gif.Frames.size() << " frames, " << strip.Width << "x" << strip.Height
        << "\n";
  return 0;
}

}  // namespace panelcraft::cli
