// The SD card's data files, made in the folder "sd" of the home (outside the
// project): the picture index "pic.idx" and picture data "pic.sbin" from the
// JPEG files in "sd/pic" (a picture library in the SD card layout), and the
// ROM upgrade data "rom.sbin", the first MemorySize megabytes of the ROM image.
#pragma once

#include <filesystem>
#include <string>

#include "pictures/picture_library.h"

namespace panelcraft {

class Tglobal;

inline std::filesystem::path SdFolder(const std::filesystem::path& home) { return home / "sd"; }

// The SD card picture window's library: "sd/pic" in the SD card layout
// (entry k is picture 1024 + k, addresses from 8192).
class SdPictureLibrary : public PictureLibrary {
 public:
  explicit SdPictureLibrary(const std::filesystem::path& home)
      : PictureLibrary(PictureLibraryKind::SdCard, SdFolder(home) / "pic", SdFolder(home)) {}
};

// "生成SD卡Flush升级数据": only while a display is connected (LinkState 1),
// else "需要先连接串口屏,才能生成!" and nothing is written. Returns whether
// "sd/rom.sbin" was written.
bool MakeSdRomData(Tglobal& g);
// The same without the check, for the display's memory size set by hand:
// the image is rebuilt (when a project is open) and, unless that build ran
// out of room, its first MemorySize MB written; then "生成完成!".
bool WriteSdRomData(Tglobal& g);

// A status line of the SD tools window: "已生成,长度:" + size + "字节" when the
// file exists, else "未生成" (GBK).
std::string SdFileStatus(const std::filesystem::path& file);

}  // namespace panelcraft
