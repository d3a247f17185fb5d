// The picture library: a picture folder, a Tjpglist loaded from it and the
// tile list whose order gives the picture numbers. The picture window works
// on the workspace's "temp/pic" in the ROM image layout; the SD card picture
// window on "sd/pic" in the SD card layout. Windows show the tiles and call
// these; the order is plain data here, so the CLI and tests drive it too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/messages.h"
#include "pictures/jpglist.h"

namespace panelcraft {

enum class PictureLibraryKind {
  Project,  // temp/pic: JPEG and GIF files, picture n at entry n, "pic.idx"/"pic.sbin" in temp
  SdCard,   // sd/pic: JPEG files only, picture 1024 + k at entry k, files in sd
};

struct PictureTile {
  int32_t Slot = -1;           // the store slot of its picture; -1: the file did not decode
  std::string Hint;            // file name within the picture folder (GBK)
  std::filesystem::path File;  // the file itself
};

class PictureLibrary {
 public:
  // `pictureFolder` holds the user's files; the two generated files go to
  // `outputFolder`.
  PictureLibrary(PictureLibraryKind kind, std::filesystem::path pictureFolder, std::filesystem::path outputFolder);

  const PictureLibraryKind Kind;
  const std::filesystem::path PictureFolder;
  const std::filesystem::path OutputFolder;
  Tjpglist Store;
  std::vector<PictureTile> Tiles;

  // The picture number of the tile at `position` (from 0).
  int32_t PictureNumber(size_t position) const;

  // Loads the folder again: numbered files (1 to 512) first in number order,
  // then the other names in name order (a project's GIF files before its
  // JPEG files). A file that does not decode keeps its place as a tile
  // without a picture and is reported; files beyond the 512th picture and
  // numbered names that are never listed (0.jpg, 007.jpg …) are reported and
  // get no tile.
  void RefreshList(UserMessages& messages);

  // Moves the tile at `from` to `to` (positions from 0); false when either
  // is outside the list.
  bool MoveTile(size_t from, size_t to);

  // Renames the files after their list positions (through "_@" names, so
  // that no name in use is overwritten) and refreshes. A file whose new name
  // is taken keeps its name.
  void TidyFileNames(UserMessages& messages);

  // Writes the index and pixel files from the tiles in list order; progress
  // 0..100. Pictures that are too large or no longer fit the data area are
  // reported by name and keep their entries free. Shows the completion
  // message. Throws FileError when a file cannot be written.
  void GeneratePictureData(UserMessages& messages, const std::function<void(int)>& progress = {});

  std::filesystem::path IndexFile() const { return OutputFolder / "pic.idx"; }
  std::filesystem::path DataFile() const { return OutputFolder / "pic.sbin"; }

 private:
  void AddTile(const std::filesystem::path& file, UserMessages& messages);
};

// Reads a file's base name (up to the first "." that is not its first
// character) as a whole decimal number, with an optional sign; false when it
// is none. Numbers beyond the 32-bit range read as "above 512".
bool BaseNameNumber(const std::string& fileName, int64_t& number);

}  // namespace panelcraft
