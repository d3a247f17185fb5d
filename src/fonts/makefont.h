// Tmakefont: the glyph rasterizer. It draws characters of a PC font face on
// the 1-bit drawing surface, reads them back as dot-matrix glyphs and collects
// them in GlyphBuffer: the small font (index tables and glyph data of the
// sizes 24, 32, 48 and 64, at their ROM image addresses) or one full GB2312 or
// GBK font. The generation run sets the public fields and calls the
// operations in a fixed order.
//
// Glyph: GlyphWidth columns, left to right; each column DotSize / 8 bytes from
// the top; bit 0 of a byte is its topmost dot; a set bit is ink.
// Small-font index entry (4 bytes): ASCII = width, code, offset / 8 (16-bit
// big-endian); Chinese = lead, trail, offset / 8. Offsets count from the start
// of the small-font data ("mini.sbin") and are multiples of 8.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "device/rom.h"
#include "fonts/drawing_surface.h"
#include "fonts/font_engine.h"

namespace panelcraft {

class Tmakefont {
 public:
  static constexpr uint32_t GlyphBufferSize = 5242880;
  static constexpr uint32_t IndexTableSize = 2048;        // 512 entries of 4 bytes
  static constexpr uint32_t IndexArea = Trom::MiniIndex;  // the four tables of Trom::MiniIndexTable
  static constexpr uint32_t IndexAreaSize = Trom::MiniIndexSize;
  // Percentage of a full-font run, reported after each lead-byte row.
  using ProgressSink = std::function<void(int percent)>;

  // Takes the small-font data address from the ROM image's region table.
  Tmakefont(const Trom& rom, DrawingSurface& surface);
  ~Tmakefont();
  Tmakefont(const Tmakefont&) = delete;
  Tmakefont& operator=(const Tmakefont&) = delete;

  std::vector<uint8_t> GlyphBuffer;  // GlyphBufferSize bytes
  std::string FontFace;              // GBK
  int32_t DotSize = 24;
  int32_t FontHeight = 24;
  int32_t FontWidth = 24;
  int32_t GlyphMode = 2;  // 0 ASCII proportional, 1 ASCII fixed width, 2 Chinese
  int32_t OffsetX = 0;
  int32_t OffsetY = 0;
  int32_t AsciiFontWidth = 0;
  std::string CharList;       // GBK
  int32_t CharSetChoice = 0;  // 0 all ASCII, 1 list, 2 list, 3 GB2312 full, 4 GBK full
  DrawingSurface& DrawSurface;
  int32_t GlyphWidth = 0;
  std::string OutputName;
  uint32_t IndexPos = 0;
  uint32_t DataPos = 0;
  int32_t InkLeft = 0;
  int32_t InkTop = 0;
  int32_t InkRight = 0;
  int32_t InkBottom = 0;

  const uint32_t MiniDataBase;  // 0x76000
  // The folder the font data files are written into (the workspace "temp").
  std::filesystem::path Workspace = "temp";
  // Limits met by the fitting steps and the last Generate(), as GBK texts for
  // the run's log; cleared by Reset().
  std::vector<std::string> Reports;

  void SetDefaults();
  void Reset();
  void ApplyFont();
  void DrawGlyph(std::string_view ch);
  void PackGlyph(std::string_view ch);
  void MeasureInk();
  void MeasureInkRows();
  void FitChineseFont();
  void FitAsciiFont();
  // Runs what CharSetChoice asks for. A full font that does not fit
  // GlyphBuffer, or one of 64 dots, is refused before any drawing (see
  // FullFontRefusal) and leaves a report.
  void Generate(const ProgressSink& progress = {});
  // "mini.sbin" (GlyphBuffer from MiniDataBase to DataPos) and "mini.idx"
  // (the 8,192 bytes from 0x2000). Throws FileError.
  void WriteMiniFiles();
  // OutputName + ".sbin": GlyphBuffer from 0 to DataPos. Throws FileError.
  void WriteFullFontFile();

  // The message refusing a full font (choice 3 GB2312, 4 GBK) of a size, or
  // nothing when that font can be made: fonts of 64 dots are never used by
  // the display and fonts larger than GlyphBuffer cannot be made.
  static std::optional<std::string> FullFontRefusal(int32_t dotSize, int32_t charSetChoice);

  // The drawing facility; made on first use.
  FontEngine& Engine();

 private:
  void StoreGlyph();
  void GenerateList();
  void GenerateFull(uint8_t firstLead, uint8_t lastLead, uint8_t firstTrail, uint8_t lastTrail,
                    const ProgressSink& progress);
  void DrawAt(int x, int y, std::string_view ch);

  const uint32_t miniDataEnd_;  // the page area: small-font data must end before it
  std::unique_ptr<FontEngine> engine_;
};

}  // namespace panelcraft
