// Tjpglist: the picture store. It loads the user's JPEG and GIF files into
// 512 slots with a preview of each, and writes picture index entries and
// pixel data in one of two layouts: the ROM image's (StoreMode 0, entries and
// pixels big-endian, pictures back to back) or the SD card's (StoreMode 1,
// little-endian addresses and pixels, each picture at a multiple of 512).
//
// Pixels go column by column, each as RGB565 whose bytes are never 0xFF
// (0xFF is what unwritten flash reads as).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "pictures/bitmap.h"

namespace panelcraft {

class Tjpglist {
 public:
  static constexpr int32_t SlotCount = 512;
  static constexpr uint32_t IndexAreaSize = 32768;
  static constexpr uint32_t DataAreaSize = 16777216;
  static constexpr int32_t ThumbnailSize = 160;
  // A picture is written only when narrower and lower than these.
  static constexpr int32_t MaxWidth = 5000;
  static constexpr int32_t MaxHeight = 1500;

  // A loaded picture: a JPEG file is kept as its bytes and decoded again
  // when converted; a GIF is kept as the strip of its frames.
  struct Slot {
    std::string Jpeg;
    Bitmap Strip;
    int32_t Width = 0;
    int32_t Height = 0;
  };

  Tjpglist();
  Tjpglist(const Tjpglist&) = delete;
  Tjpglist& operator=(const Tjpglist&) = delete;

  std::vector<Slot> FullPictures;  // SlotCount
  std::vector<Bitmap> Thumbnails;  // SlotCount
  int32_t Count = 0;
  std::vector<uint8_t> IndexArea;  // IndexAreaSize; entry e at 8 x e
  // DataAreaSize bytes, 0xFF at creation. The data are the bytes before
  // DataPos; bytes from DataPos on may still hold data of an earlier run.
  std::vector<uint8_t> DataArea;
  uint32_t DataPos = 0;
  int32_t StoreMode = 0;            // 0 ROM image, 1 SD card
  uint32_t BaseAddress = 0x100000;  // added to DataPos in the entries

  // Count and DataPos 0, the index all 0xFF. Loaded slots keep their pictures.
  void Clear();

  // Loads a picture file into slot Count and makes its preview. A name
  // ending in ".gif" (any letter case) is read as a GIF, any other as a JPEG.
  // Returns false, loading nothing, when all slots are taken; throws
  // PictureError for a file that cannot be decoded and FileError for one
  // that cannot be read.
  bool AddFile(const std::filesystem::path& path);
  // The same for pictures already in memory.
  bool AddJpeg(std::string jpeg);
  bool AddGif(std::string_view gif);

  // The 160 x 160 preview of a picture larger than that, scaled by area
  // averaging onto white; a smaller picture is its own preview.
  static Bitmap MakeThumbnail(const Bitmap& picture);
  // A GIF as one picture: cell i (as wide as the GIF) shows frame 0 with
  // frame i drawn over it at its own position.
  static Bitmap GifStrip(const GifPicture& gif);

  enum class Converted {
    Written,
    TooLarge,  // 5000 or more wide, or 1500 or more high: entry left free
    Full,      // the data area has no room for all its pixels: entry left free
  };
  // Writes index entry `entry` (0..4095) and the pixels of `slot`. Throws
  // PictureError when the slot's picture no longer decodes, std::out_of_range
  // for an entry or slot outside the store.
  Converted ConvertPicture(int32_t entry, int32_t slot);

 private:
  // Writes rows firstRow .. firstRow + rows - 1 of a picture `height` high
  // from DataPos on; `rgb` holds those rows, 3 or 4 bytes a pixel.
  void WritePixels(const uint8_t* rgb, int bytesPerPixel, int32_t width, int32_t firstRow, int32_t rows,
                   int32_t height);

  std::vector<uint8_t> rgb_;      // a band of decoded rows of the picture being converted
};

}  // namespace panelcraft
