// rom build|info: the ROM image from the workspace, and a report of an image.
#include <cstdio>
#include <ctime>
#include <iostream>

#include "app/files.h"
#include "app/text.h"
#include "cli/cli.h"
#include "device/rom.h"

namespace panelcraft::cli {

namespace {

std::string Hex(uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

void PrintHeader(std::ostream& out, const Trom& rom) {
  for (uint32_t offset = Trom::Gb2312Font24; offset <= Trom::PlacementTop; offset += 2) {
    const uint16_t value = rom.HeaderValue(offset);
    out << "  " << HeaderFieldName(offset) << std::string(13 - HeaderFieldName(offset).size(), ' ')
        << Hex(value, 4);
    if (value != 0xFFFF) out << "  (address " << Hex(uint32_t{value} * 256, 6) << ")";
    out << "\n";
  }
}

std::string Bar(const Trom& rom) {
  const auto used = rom.MemoryBarColumns();
  std::string bar;
  for (int i = 0; i < Trom::MemoryBarColumnCount; ++i) bar += used[static_cast<size_t>(i)] ? '#' : '.';
  return bar;
}

int Build(Context& c, Args& args) {
  const auto memory = args.Option("--memory");
  const auto output = args.Option("-o");
  args.Done();
  if (memory) c.g.Rom.MemorySize = IntChoice(*memory, "--memory", {2, 4, 8, 16});
  const Trom::BuildReport report = c.g.Rom.BuildImage(c.g.BuildInputs());
  for (const std::string& message : report.Messages) c.messages.Show(message);
  if (!report.Ok) throw Failed();
  c.out << "memory: " << c.g.Rom.MemorySize << " MB\nfont header:\n";
  PrintHeader(c.out, c.g.Rom);
  c.out << "PictureEnd " << Hex(c.g.Rom.PictureEnd, 6) << "\n";
  if (output) {
    const auto& image = c.g.Rom.Image;
    WriteFileReplacing(fs::path(*output), std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    c.out << "wrote " << *output << "\n";
  }
  return 0;
}

int Info(Context& c, Args& args) {
  const std::string file = args.Next("FILE");
  const auto memory = args.Option("--memory");
  args.Done();
  const std::string bytes = ReadFileBytes(fs::path(file));
  if (bytes.size() > Trom::ImageSize) {
    std::cerr << file << ": larger than 16 MB, not a ROM image\n";
    throw Failed();
  }
  Trom rom;
  std::copy(bytes.begin(), bytes.end(), rom.Image.begin());
  const auto regions = PlacedRegions(rom);
  const bool hasHeader = rom.Image[Trom::FontHeader] == 0xAE && rom.Image[Trom::FontHeader + 1] == 0x5F;
  if (memory) {
    rom.MemorySize = IntChoice(*memory, "--memory", {2, 4, 8, 16});
  } else if (hasHeader) {
    const uint32_t top = uint32_t{rom.HeaderValue(Trom::PlacementTop)} * 256;
    for (int size : {2, 4, 8, 16})
      if (top == static_cast<uint32_t>(size) * 1048576u - 65536u) rom.MemorySize = size;
  }
  c.out << file << ": " << bytes.size() << " bytes, memory " << rom.MemorySize << " MB\n";
  if (!hasHeader) {
    c.out << "no font header\n";
  } else {
    c.out << "font header:\n";
    PrintHeader(c.out, rom);
    uint32_t stamp = 0;
    for (int i = 0; i < 4; ++i) stamp |= uint32_t{rom.Image[Trom::BuildStamp + i]} << (8 * i);
    const time_t t = static_cast<time_t>(stamp) + 28800;
    struct tm built {};
    gmtime_r(&t, &built);
    char when[32];
    std::strftime(when, sizeof when, "%Y-%m-%d %H:%M:%S", &built);
    c.out << "build stamp: " << Hex(stamp, 8) << " (" << when << " local time of the build)\n";
  }
  c.out << "placed regions:\n";
  if (regions.empty()) c.out << "  none\n";
  for (const RomRegion& region : regions)
    c.out << "  " << region.Name << std::string(13 - region.Name.size(), ' ') << Hex(region.Start, 6) << ".."
          << Hex(region.End - 1, 6) << "  " << (region.End - region.Start) << " bytes\n";
  int pages = 0;
  for (uint32_t n = 0; n < Trom::PageCount; ++n) {
    const uint8_t first = rom.Image[Trom::PageSlots + n * Trom::PageSlotSize];
    if (first != 0x00 && first != 0xFF) ++pages;
  }
  c.out << "page slots with statements: " << pages << "\n";
  c.out << "memory bar (0 to " << rom.MemorySize << " MB, # used):\n" << Bar(rom) << "\n";
  return 0;
}

}  // namespace

int RomCommand(Context& c, Args args) {
  const std::string verb = args.Next("rom command");
  if (verb == "build") return Build(c, args);
  if (verb == "info") return Info(c, args);
  throw UsageError("unknown rom command: " + verb);
}

}  // namespace panelcraft::cli
