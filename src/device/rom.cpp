#include "device/rom.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>

#include "app/files.h"
#include "app/text.h"
#include "store/hash_table.h"

namespace panelcraft {

namespace {

// Reads up to `count` bytes of the file into `dest`; returns the file size, or
// -1 when it cannot be opened.
int64_t ReadInto(const fs::path& path, uint8_t* dest, uint64_t count) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  uint64_t done = 0;
  while (done < count) {
    const ssize_t n = ::read(fd, dest + done, count - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<uint64_t>(n);
  }
  ::close(fd);
  return static_cast<int64_t>(st.st_size);
}

uint32_t LittleEndianWord(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

// Seconds of the local date and time since 1970-01-01 00:00:00 read as UTC,
// rounded to the nearest second.
int64_t LocalSecondsNow() {
  const auto now = std::chrono::system_clock::now();
  const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
  const int64_t seconds = (ms + 500) / 1000;
  const time_t t = static_cast<time_t>(seconds);
  struct tm local {};
  localtime_r(&t, &local);
  return seconds + local.tm_gmtoff;
}

std::string TooLargeMessage(std::string_view name, uint64_t room) {
  return "\"" + std::string(name) + "\"" + Gbk("大于其区域(") + std::to_string(room) +
         Gbk("字节),超出的部分没有装入ROM映像");
}

}  // namespace

Trom::Trom() : Image(ImageSize, 0xFF) {}

int32_t Trom::EffectiveMemorySize() const { return std::clamp(MemorySize, 1, 16); }

uint32_t Trom::PlacementTopAddress() const {
  return static_cast<uint32_t>(EffectiveMemorySize()) * 1048576u - 65536u;
}

uint32_t Trom::RoundUp4K(uint64_t size) {
  return static_cast<uint32_t>((size + BlockSize - 1) / BlockSize * BlockSize);
}

int64_t Trom::FileSizeOf(std::string_view name) const {
  return FileSizeOrMinusOne(Workspace / PathFromText(name));
}

int64_t Trom::LoadFileAt(std::string_view name, uint32_t address, uint32_t maxBytes) {
  if (address >= ImageSize) return FileSizeOf(name);
  const uint64_t room = std::min<uint64_t>(maxBytes, ImageSize - address);
  return ReadInto(Workspace / PathFromText(name), Image.data() + address, room);
}

void Trom::WriteHeaderStart(uint32_t offset, uint32_t address) {
  Image[FontHeader + offset] = static_cast<uint8_t>(address >> 16);
  Image[FontHeader + offset + 1] = static_cast<uint8_t>(address >> 8);
}

uint16_t Trom::HeaderValue(uint32_t offset) const {
  return static_cast<uint16_t>(Image[FontHeader + offset] << 8 | Image[FontHeader + offset + 1]);
}

Trom::BuildReport Trom::BuildImage(const BuildInput& input) {
  BuildReport report;
  std::fill(Image.begin(), Image.end(), 0xFF);
  ReadInto(input.BaseData, Image.data(), ImageSize);

  // The generated files, each kept inside its region.
  struct Load { const char* name; uint32_t address; uint32_t room; };
  const Load loads[] = {
      {"mini.idx", MiniIndex, MiniIndexSize},
      {"mini.sbin", MiniData, MiniDataSize},
      {"pic.idx", PictureIndex, PictureIndexSize},
      {"pic.sbin", PictureData, ImageSize - PictureData},
  };
  PictureEnd = PictureData;
  for (const Load& load : loads) {
    const int64_t size = LoadFileAt(load.name, load.address, load.room);
    if (size > static_cast<int64_t>(load.room)) report.Messages.push_back(TooLargeMessage(load.name, load.room));
    if (load.address == PictureData && size >= 0)
      PictureEnd = PictureData + static_cast<uint32_t>(std::min<int64_t>(size, load.room));
  }

  std::fill_n(Image.begin() + FontHeader, 128, 0xFF);
  Image[FontHeader] = 0xAE;
  Image[FontHeader + 1] = 0x5F;
  Image[FontHeader + 126] = 0x5E;
  Image[FontHeader + 127] = 0xAF;
  uint32_t c = PlacementTopAddress();
  WriteHeaderStart(PlacementTop, c);

  const int64_t local = input.LocalSeconds != 0 ? input.LocalSeconds : LocalSecondsNow();
  const uint32_t stamp = static_cast<uint32_t>(static_cast<uint64_t>(local - 28800));
  for (int i = 0; i < 4; ++i) Image[BuildStamp + i] = static_cast<uint8_t>(stamp >> (8 * i));

  // Full fonts and the input-method table, placed downwards from the top.
  auto setting = [&](const char* key) { return input.Store ? input.Store->IntValue(key) : 0; };
  struct Place { const char* file; bool wanted; uint32_t field; };
  const Place places[] = {
      {"pymb.bin", FileSizeOf("pymb.bin") > 0, ImeTable},
      {"hz32.sbin", setting("hz32bf") == 2, GbkFont32},
      {"hz24.sbin", setting("hz24bf") == 2, GbkFont24},
      {"hz16.sbin", setting("hz16bf") == 4, GbkFont16},
      {"hz48.sbin", setting("hz48bf") == 1, Gb2312Font48},
      {"hz32.sbin", setting("hz32bf") == 1, Gb2312Font32},
      {"hz24.sbin", setting("hz24bf") == 1, Gb2312Font24},
  };
  for (const Place& place : places) {
    const int64_t size = place.wanted ? FileSizeOf(place.file) : -1;
    if (size >= 0) {
      const uint32_t need = RoundUp4K(static_cast<uint64_t>(size));
      if (need > c || c - need < PictureEnd) {
        report.Ok = false;
        report.Messages.push_back(Gbk("存储空间不够，请减少图片数量或全字库种类!"));
        return report;
      }
      c -= need;
      LoadFileAt(place.file, c, need);
    }
    WriteHeaderStart(place.field, c);
  }

  if (ReloadFontHeader) ReloadFontHeader();

  for (uint32_t n = 0; n < PageCount; ++n) {
    std::string text = input.Store ? input.Store->Value("pgcn" + std::to_string(n)) : std::string();
    std::erase_if(text, [](char ch) { return ch == '\r' || ch == '\n'; });
    if (WritePage(static_cast<int32_t>(n), text, input.BaudIndex)) {
      report.CutPages.push_back(static_cast<int>(n) + 1);
      report.Messages.push_back(Gbk("第") + std::to_string(n + 1) +
                                Gbk("页的语句超过1023字节,超出的部分没有写入ROM映像"));
    }
  }
  return report;
}

bool Trom::WritePage(int32_t n, std::string_view text, int32_t baudIndex) {
  const uint32_t slot = static_cast<uint32_t>(n) & 0x7F;
  std::string bytes;
  if (slot == 0 && baudIndex != 6) bytes = "U" + std::to_string(baudIndex) + ";";
  bytes += text;
  const std::string_view fitting = CutGbk(bytes, PageSlotSize - 1);
  uint8_t* dest = Image.data() + PageSlots + PageSlotSize * slot;
  std::memcpy(dest, fitting.data(), fitting.size());
  dest[fitting.size()] = 0x00;
  return fitting.size() < bytes.size();
}

uint32_t Trom::BlockChecksum(uint32_t block) const {
  if (block >= BlockCount) return 0;
  const uint8_t* p = Image.data() + static_cast<size_t>(block) * BlockSize;
  uint32_t x = 0;
  uint32_t sum = 0;
  for (uint32_t i = 0; i < BlockSize; i += 4) {
    const uint32_t w = LittleEndianWord(p + i);
    x ^= w;
    sum += w;
  }
  return FirmwareVersion > 555 ? x + sum : x;
}

bool Trom::IsBlockEmpty(uint32_t block) const {
  if (block >= BlockCount) return true;
  const uint8_t* p = Image.data() + static_cast<size_t>(block) * BlockSize;
  return std::all_of(p, p + BlockSize, [](uint8_t b) { return b == 0xFF; });
}

std::bitset<Trom::MemoryBarColumnCount> Trom::MemoryBarColumns() const {
  std::bitset<MemoryBarColumnCount> used;
  const size_t width = static_cast<size_t>(EffectiveMemorySize()) * 2048;
  for (int i = 0; i < MemoryBarColumnCount; ++i) {
    const uint8_t* p = Image.data() + width * static_cast<size_t>(i);
    used[static_cast<size_t>(i)] = !std::all_of(p, p + width, [](uint8_t b) { return b == 0xFF; });
  }
  return used;
}

std::string HeaderFieldName(uint32_t offset) {
  switch (offset) {
    case Trom::Gb2312Font24: return "hz24 GB2312";
    case Trom::Gb2312Font32: return "hz32 GB2312";
    case Trom::Gb2312Font48: return "hz48 GB2312";
    case Trom::GbkFont16: return "hz16 GBK";
    case Trom::GbkFont24: return "hz24 GBK";
    case Trom::GbkFont32: return "hz32 GBK";
    case Trom::ImeTable: return "pymb";
    case Trom::PlacementTop: return "top";
    default: return "?";
  }
}

std::vector<RomRegion> PlacedRegions(const Trom& rom) {
  std::vector<RomRegion> regions;
  const uint8_t* h = rom.Image.data() + Trom::FontHeader;
  if (h[0] != 0xAE || h[1] != 0x5F || h[126] != 0x5E || h[127] != 0xAF) return regions;
  for (uint32_t offset = Trom::Gb2312Font24; offset < Trom::PlacementTop; offset += 2) {
    const uint16_t start = rom.HeaderValue(offset);
    const uint16_t next = rom.HeaderValue(offset + 2);
    if (start == 0xFFFF || next == 0xFFFF || next <= start) continue;
    regions.push_back({HeaderFieldName(offset), uint32_t{start} * 256, uint32_t{next} * 256});
  }
  return regions;
}

}  // namespace panelcraft
