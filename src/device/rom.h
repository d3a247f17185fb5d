// Trom: the in-memory copy of the display's 16 MB flash, rebuilt from the base
// data file, the workspace's generated files and the pages, plus the facts
// about the connected display. The upload sends it, the SD card tools write
// it, the virtual display draws from it.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace panelcraft {

class THashTable;

class Trom {
 public:
  static constexpr uint32_t ImageSize = 16777216;
  static constexpr uint32_t BlockSize = 4096;
  static constexpr uint32_t BlockCount = ImageSize / BlockSize;
  static constexpr uint32_t FontHeader = 0x1000;
  static constexpr uint32_t BuildStamp = 0x1080;
  static constexpr uint32_t MiniIndex = 0x2000;
  static constexpr uint32_t PictureIndex = 0x4000;
  static constexpr uint32_t Font12 = 0x5000;
  static constexpr uint32_t Font16 = 0x35000;
  static constexpr uint32_t Ascii8x16 = 0x75000;
  static constexpr uint32_t MiniData = 0x76000;
  static constexpr uint32_t PageSlots = 0xE0000;
  static constexpr uint32_t PageSlotSize = 1024;
  static constexpr uint32_t PageCount = 128;
  static constexpr uint32_t PictureData = 0x100000;
  // Room of the regions that files are loaded into.
  static constexpr uint32_t MiniIndexSize = 8192;
  static constexpr uint32_t PictureIndexSize = 4096;
  static constexpr uint32_t MiniDataSize = PageSlots - MiniData;  // 434,176
  static constexpr int MemoryBarColumnCount = 512;
  // The small font's index table of a dot size inside the mini index
  // region: 512 entries of 4 bytes for each of 24, 32, 48 and 64 dots.
  static constexpr uint32_t MiniIndexTable(int dotSize) {
    switch (dotSize) {
      case 32:
        return MiniIndex + 0x800;
      case 48:
        return MiniIndex + 0x1000;
      case 64:
        return MiniIndex + 0x1800;
      default:
        return MiniIndex;
    }
  }

  // Header field offsets (big-endian starts in units of 256 bytes).
  enum HeaderField : uint32_t {
    Gb2312Font24 = 2,
    Gb2312Font32 = 4,
    Gb2312Font48 = 6,
    GbkFont16 = 8,
    GbkFont24 = 10,
    GbkFont32 = 12,
    ImeTable = 14,
    PlacementTop = 16,
  };

  Trom();

  std::vector<uint8_t> Image;  // ImageSize bytes; byte i is flash address i
  int32_t MemorySize = 16;     // MB: 2, 4, 8 or 16
  std::string SerialNumber;
  int32_t ScreenHeight = 0;
  int32_t ScreenWidth = 0;
  std::string FirmwareText;
  std::string ReplyText;        // a further text of the device detection
  int32_t FirmwareVersion = 0;  // major x 100 + minor
  std::string FlashCode;        // flash chip code of the device reply
  std::string ChunkText;        // prepared for the upload
  int32_t ChunkValue = 0;
  std::array<int32_t, 10> RegionTable{16, 32, 64, 80, 848, 1872, 1888, 3584, 4096, 65536};
  uint32_t PictureEnd = PictureData;

  // Where LoadFileAt and FileSizeOf look: the workspace "temp".
  std::filesystem::path Workspace = "temp";
  // Called when a build has placed everything, so the virtual display reads
  // the font header again.
  std::function<void()> ReloadFontHeader;

  struct BuildInput {
    std::filesystem::path BaseData;     // "default.bin"; a missing file is no error
    const THashTable* Store = nullptr;  // font choices and pages; none: no pages
    int32_t BaudIndex = 6;              // the project's "BTL"
    // Seconds since 1970 of the local time, for a reproducible stamp; 0: now.
    int64_t LocalSeconds = 0;
  };
  struct BuildReport {
    bool Ok = true;                     // false: the placement ran out of room
    std::vector<std::string> Messages;  // GBK texts for the user, in order
    std::vector<int> CutPages;          // pages (1..128) cut at their slot's end
  };

  // Rebuilds the whole image from scratch.
  BuildReport BuildImage(const BuildInput& input);

  // Writes a page text into slot n AND 0x7F, preceded on slot 0 by "U" + the
  // baud index + ";" when the index is not 6, then one 0x00 byte. A text that
  // would not fit the slot with its 0x00 byte is cut at a character boundary;
  // returns true when it was cut.
  bool WritePage(int32_t n, std::string_view text, int32_t baudIndex);

  uint32_t BlockChecksum(uint32_t block) const;
  bool IsBlockEmpty(uint32_t block) const;

  // Copies the workspace file `name` into the image from `address`, at most
  // `maxBytes` bytes and never past the image's end; returns the file's size,
  // or -1 (image unchanged) when the file is missing.
  int64_t LoadFileAt(std::string_view name, uint32_t address, uint32_t maxBytes = ImageSize);
  int64_t FileSizeOf(std::string_view name) const;
  static uint32_t RoundUp4K(uint64_t size);

  // Top of the placement area: 64 KB below the end of the display's memory.
  uint32_t PlacementTopAddress() const;
  uint16_t HeaderValue(uint32_t offset) const;

  // The memory bar: column i covers MemorySize x 2048 bytes from i times that;
  // true (drawn red) when any of its bytes differs from 0xFF.
  std::bitset<MemoryBarColumnCount> MemoryBarColumns() const;

 private:
  void WriteHeaderStart(uint32_t offset, uint32_t address);
  int32_t EffectiveMemorySize() const;
};

// The placed regions an image's font header describes, for reports.
struct RomRegion {
  std::string Name;
  uint32_t Start = 0;
  uint32_t End = 0;  // one past the region
};
// Empty when the header's markers are missing.
std::vector<RomRegion> PlacedRegions(const Trom& rom);
// The short name of a header field ("hz24 GB2312", …, "top").
std::string HeaderFieldName(uint32_t offset);

}  // namespace panelcraft
