#include "sdcard/sd_data.h"

#include "app/files.h"
#include "app/global.h"
#include "app/text.h"

namespace panelcraft {

bool MakeSdRomData(Tglobal& g) {
  if (g.LinkState != 1) {
    g.Messages.Show(Gbk("需要先连接串口屏,才能生成!"));
    return false;
  }
  return WriteSdRomData(g);
}

bool WriteSdRomData(Tglobal& g) {
  g.UpdateMenus();
  if (g.ProjectOpen()) {
    // An image whose placement ran out of room is not written to a card.
    if (!g.RebuildImage()) return false;
    g.SaveWorkspace();
  }
  const size_t bytes = static_cast<size_t>(g.Rom.MemorySize) * 1048576u;
  if (bytes == 0 || bytes > g.Rom.Image.size()) throw FileError("memory size out of range");
  std::error_code ec;
  std::filesystem::create_directories(SdFolder(g.Home), ec);
  WriteFileReplacing(SdFolder(g.Home) / "rom.sbin",
                     std::string_view(reinterpret_cast<const char*>(g.Rom.Image.data()), bytes));
  g.Messages.Show(Gbk("生成完成!"));
  return true;
}

std::string SdFileStatus(const std::filesystem::path& file) {
  const int64_t size = FileSizeOrMinusOne(file);
  if (size < 0) return Gbk("未生成");
  return Gbk("已生成,长度:") + std::to_string(size) + Gbk("字节");
}

}  // namespace panelcraft
