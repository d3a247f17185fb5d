#include "fonts/makefont.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include "app/files.h"
#include "app/text.h"
#include "device/rom.h"

namespace panelcraft {

namespace {

// The probes of the fitting steps.
constexpr std::string_view kChineseProbe = "\xB1\xA1";  // 薄
constexpr std::string_view kAsciiProbe =
    "`1234567890-=~!@#$%^&*()_+qwertyuioopp[]\\QWERTYUIOP{}|asdfghjkl;ASDFGHJKL:zxcvbnm,./ZXCVBNM<>?";

// The area that is cleared before a glyph is drawn: (1, 1) to (200, 200).
constexpr int kGlyphArea = 200;

constexpr uint32_t Gb2312Cells = 87 * 94;
constexpr uint32_t GbkCells = 126 * 191;

std::string Number(int64_t n) { return std::to_string(n); }

}  // namespace

Tmakefont::Tmakefont(const Trom& rom, DrawingSurface& surface)
    : GlyphBuffer(GlyphBufferSize, 0xFF),
      DrawSurface(surface),
      MiniDataBase(static_cast<uint32_t>(rom.RegionTable[6]) * 256),
      miniDataEnd_(static_cast<uint32_t>(rom.RegionTable[7]) * 256) {
  SetDefaults();
}

Tmakefont::~Tmakefont() = default;

FontEngine& Tmakefont::Engine() {
  if (!engine_) engine_ = std::make_unique<FontEngine>();
  return *engine_;
}

void Tmakefont::SetDefaults() {
  Reset();
  FontFace = Gbk("宋体");
  DotSize = 24;
  FontHeight = 24;
  FontWidth = 24;
  GlyphMode = 2;
  OffsetX = 0;
  OffsetY = 0;
}

void Tmakefont::Reset() {
  std::fill(GlyphBuffer.begin(), GlyphBuffer.end(), uint8_t{0xFF});
  IndexPos = 0;
  DataPos = 0;
  Reports.clear();
}

void Tmakefont::ApplyFont() { Engine().Apply(FontFace, FontHeight, GlyphMode == 2 ? 0 : FontWidth, GlyphMode == 2); }

void Tmakefont::DrawAt(int x, int y, std::string_view ch) {
  FontEngine& engine = Engine();
  if (engine.Applied().File.Path.empty()) ApplyFont();  // no font put on yet: the current fields
  engine.Draw(DrawSurface, x, y, engine.Codes().Character(ch));
}

void Tmakefont::DrawGlyph(std::string_view ch) {
  DrawSurface.FillWhite(1, 1, kGlyphArea, kGlyphArea);
  FontEngine& engine = Engine();
  const char32_t character = engine.Codes().Character(ch);
  if (GlyphMode == 2) {
    DrawAt(OffsetX + 1, OffsetY + 1, ch);
    GlyphWidth = DotSize;
  } else if (GlyphMode == 1) {
    GlyphWidth = DotSize / 2;
    for (int32_t w = DotSize; w >= 1; --w) {
      FontWidth = w;
      ApplyFont();
      if (engine.Advance(character) < GlyphWidth) {
        DrawAt(1, OffsetY + 1, ch);
        break;
      }
    }
  } else if (ch == " ") {
    GlyphWidth = DotSize / 2;
  } else {
    FontWidth = AsciiFontWidth;
    ApplyFont();
    DrawAt(1, OffsetY + 1, ch);
    // Only the cleared area belongs to the glyph, and its width must fit the
    // entry's width byte.
    GlyphWidth = std::clamp(engine.Advance(character), 0, kGlyphArea - 1);
  }
}

void Tmakefont::StoreGlyph() {
  const int32_t bytesPerColumn = std::max(DotSize, 0) / 8;
  const uint64_t size = static_cast<uint64_t>(std::max(GlyphWidth, 0)) * static_cast<uint64_t>(bytesPerColumn);
  if (DataPos + size > GlyphBuffer.size()) throw std::length_error("glyph past the end of GlyphBuffer");
  for (int32_t x = 1; x <= GlyphWidth; ++x) {
    uint8_t byte = 0;
    for (int32_t y = 1; y <= bytesPerColumn * 8; ++y) {
      byte >>= 1;
      if (DrawSurface.IsInk(x, y)) byte |= 0x80;
      if (y % 8 == 0) {
        GlyphBuffer[DataPos++] = byte;
        byte = 0;
      }
    }
  }
}

void Tmakefont::PackGlyph(std::string_view ch) {
  DrawGlyph(ch);
  StoreGlyph();
}

void Tmakefont::MeasureInk() {
  InkLeft = InkTop = kGlyphArea;
  InkRight = InkBottom = 0;
  const int32_t last = FontHeight + 30;
  for (int32_t y = 1; y <= std::min(last, DrawingSurface::Height - 1); ++y) {
    if (!DrawSurface.RowHasInk(y, 1, last)) continue;
    for (int32_t x = 1; x <= std::min(last, DrawingSurface::Width - 1); ++x) {
      if (!DrawSurface.IsInk(x, y)) continue;
      InkLeft = std::min(InkLeft, x);
      InkTop = std::min(InkTop, y);
      InkRight = std::max(InkRight, x);
      InkBottom = std::max(InkBottom, y);
    }
  }
}

void Tmakefont::MeasureInkRows() {
  InkTop = kGlyphArea;
  InkBottom = 0;
  const int32_t lastRow = FontHeight + 50;
  const int32_t lastColumn = DotSize * 150 + 50;
  for (int32_t y = 1; y <= std::min(lastRow, DrawingSurface::Height - 1); ++y) {
    if (!DrawSurface.RowHasInk(y, 1, lastColumn)) continue;
    InkTop = std::min(InkTop, y);
    InkBottom = std::max(InkBottom, y);
  }
}

void Tmakefont::FitChineseFont() {
  int32_t n = DotSize * 12 / 10;
  while (n >= 12) {
    FontHeight = n;
    ApplyFont();
    DrawSurface.FillWhite(1, 1, kGlyphArea, kGlyphArea);
    DrawAt(20, 20, kChineseProbe);
    MeasureInk();
    if (InkRight - InkLeft < DotSize && InkBottom - InkTop < DotSize) break;
    if (n == 12) break;
    --n;
  }
  if (InkLeft > InkRight) {
    // The face draws nothing for the probe: there is nothing to fit, and
    // offsets taken from an empty box would move every glyph off the cell.
    Reports.push_back(Gbk("字体 ") + FontFace + Gbk(" 画不出测试字\"薄\"，没有自动调整，按") + Number(DotSize) +
                      Gbk("点大小生成"));
    FontHeight = DotSize;
    ApplyFont();
    OffsetX = OffsetY = 0;
    return;
  }
  const int32_t w = InkRight - InkLeft;
  const int32_t h = InkBottom - InkTop;
  if (w < h)
    InkLeft -= (h - w) / 2;
  else
    InkTop -= (w - h) / 2;
  OffsetX = 20 - InkLeft;
  OffsetY = 20 - InkTop;
}

void Tmakefont::FitAsciiFont() {
  const int32_t s = DotSize * 15 / 10;
  FontWidth = DotSize / 2;
  for (int32_t n = s; n >= 12; --n) {
    FontHeight = n;
    ApplyFont();
    DrawSurface.FillWhite(1, 1, s * 96 + 50, kGlyphArea);
    Engine().DrawText(DrawSurface, 20, 20, kAsciiProbe);
    MeasureInkRows();
    if (InkBottom - InkTop < DotSize - 2) break;
  }
  if (InkTop > InkBottom) {
    Reports.push_back(Gbk("字体 ") + FontFace + Gbk(" 画不出测试字符，没有自动调整，按") + Number(DotSize) +
                      Gbk("点大小生成"));
    FontHeight = DotSize;
    OffsetY = 0;
  } else {
    InkTop -= 2;
    OffsetY = 20 - InkTop;
  }
  FontEngine& engine = Engine();
  for (int32_t w = DotSize; w >= 1; --w) {
    FontWidth = w;
    ApplyFont();
    const int advance = engine.Advance(engine.Codes().Single('A'));
    if (advance <= DotSize / 2) {
      InkLeft = 20;
      InkRight = 20 + advance;
      DrawAt(20, 20, "A");
      break;
    }
  }
  OffsetX = 20 - InkLeft;
  AsciiFontWidth = FontWidth;
}

std::optional<std::string> Tmakefont::FullFontRefusal(int32_t dotSize, int32_t charSetChoice) {
  if (charSetChoice != 3 && charSetChoice != 4) return std::nullopt;
  if (dotSize == 64) return Gbk("64点阵暂不支持全字库，请选择小字库(部分汉字)");
  const uint64_t cells = charSetChoice == 3 ? Gb2312Cells : GbkCells;
  const uint64_t glyphBytes =
      static_cast<uint64_t>(std::max(dotSize, 0)) * static_cast<uint64_t>(std::max(dotSize, 0) / 8);
  if (cells * glyphBytes <= GlyphBufferSize) return std::nullopt;
  if (charSetChoice == 4) return Number(dotSize) + Gbk("点阵暂不支持GBK全字库，请选择GB2312全字库或小字库(部分汉字)");
  return Number(dotSize) + Gbk("点阵暂不支持全字库，请选择小字库(部分汉字)");
}

void Tmakefont::Generate(const ProgressSink& progress) {
  if (CharSetChoice == 0) {
    CharList.clear();
    for (char c = 0x20; c <= 0x7E; ++c) CharList += c;
    CharSetChoice = 1;
  }
  if (CharSetChoice == 2) CharSetChoice = 1;
  if (CharSetChoice == 1) {
    GenerateList();
  } else if (CharSetChoice == 3 || CharSetChoice == 4) {
    if (auto refusal = FullFontRefusal(DotSize, CharSetChoice)) {
      Reports.push_back(*refusal);
      return;
    }
    if (CharSetChoice == 3)
      GenerateFull(0xA1, 0xF7, 0xA1, 0xFE, progress);
    else
      GenerateFull(0x81, 0xFE, 0x40, 0xFE, progress);
  }
}

void Tmakefont::GenerateFull(uint8_t firstLead, uint8_t lastLead, uint8_t firstTrail, uint8_t lastTrail,
                             const ProgressSink& progress) {
  const uint64_t cells = uint64_t{lastLead - firstLead + 1u} * (lastTrail - firstTrail + 1u);
  const uint64_t glyphBytes = static_cast<uint64_t>(DotSize) * static_cast<uint64_t>(DotSize / 8);
  if (DataPos + cells * glyphBytes > GlyphBuffer.size()) {
    Reports.push_back(Number(DotSize) + Gbk("点阵全字库超出字库缓冲区，没有生成"));
    return;
  }
  char code[2];
  for (int lead = firstLead; lead <= lastLead; ++lead) {
    code[0] = static_cast<char>(lead);
    for (int trail = firstTrail; trail <= lastTrail; ++trail) {
      code[1] = static_cast<char>(trail);
      PackGlyph(std::string_view(code, 2));
    }
    if (progress) progress((lead - firstLead) * 100 / (lastLead - firstLead));
  }
}

void Tmakefont::GenerateList() {
  // Glyph offsets count from MiniDataBase; a list always lands in the
  // small-font data area.
  DataPos = std::max(DataPos, MiniDataBase);
  const bool smallFontSize = DotSize == 24 || DotSize == 32 || DotSize == 48 || DotSize == 64;
  const uint32_t tableEnd = smallFontSize ? Trom::MiniIndexTable(DotSize) + IndexTableSize : IndexArea + IndexAreaSize;
  const uint32_t dataEnd = std::min<uint32_t>(miniDataEnd_, GlyphBufferSize);
  std::set<uint32_t> seen;  // codes already handled: a one-byte code, or lead x 256 + trail
  int tableSkipped = 0;
  int dataSkipped = 0;
  auto alignedDataPos = [this] { return (DataPos + 7) / 8 * 8; };
  auto writeEntry = [this](uint8_t first, uint8_t second) {
    const uint32_t offset = DataPos - MiniDataBase;
    GlyphBuffer[IndexPos] = first;
    GlyphBuffer[IndexPos + 1] = second;
    GlyphBuffer[IndexPos + 2] = static_cast<uint8_t>(offset / 2048 % 256);
    GlyphBuffer[IndexPos + 3] = static_cast<uint8_t>(offset / 8 % 256);
  };
  const int32_t bytesPerColumn = std::max(DotSize, 0) / 8;

  for (size_t i = 0; i < CharList.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(CharList[i]);
    if (b > 0x80) {
      if (i + 1 >= CharList.size()) break;  // a lone lead byte at the end is no character
      const uint8_t trail = static_cast<uint8_t>(CharList[i + 1]);
      const std::string_view pair(CharList.data() + i, 2);
      ++i;
      if (GlyphMode != 2 || !seen.insert(uint32_t{b} << 8 | trail).second) continue;
      const uint32_t start = alignedDataPos();
      if (tableSkipped || IndexPos + 4 > tableEnd || IndexPos < IndexArea) {
        ++tableSkipped;
      } else if (dataSkipped || start + static_cast<uint64_t>(DotSize) * bytesPerColumn > dataEnd) {
        ++dataSkipped;
      } else {
        DataPos = start;
        writeEntry(b, trail);
        IndexPos += 4;
        PackGlyph(pair);
      }
      continue;
    }
    if (GlyphMode == 2 || b == 0 || !seen.insert(b).second) continue;
    if (tableSkipped || IndexPos + 4 > tableEnd || IndexPos < IndexArea) {
      ++tableSkipped;
      continue;
    }
    const std::string_view ch(CharList.data() + i, 1);
    DrawGlyph(ch);
    const uint32_t start = alignedDataPos();
    if (dataSkipped || start + static_cast<uint64_t>(GlyphWidth) * bytesPerColumn > dataEnd) {
      ++dataSkipped;
      continue;
    }
    DataPos = start;
    writeEntry(0, b);
    StoreGlyph();
    GlyphBuffer[IndexPos] = static_cast<uint8_t>(GlyphWidth & 0xFF);
    IndexPos += 4;
  }
  if (tableSkipped)
    Reports.push_back(Number(DotSize) + Gbk("点阵的字符表已满(512项)，后面的") + Number(tableSkipped) +
                      Gbk("个字符没有生成"));
  if (dataSkipped)
    Reports.push_back(Number(DotSize) + Gbk("点阵的字符数据超出小字库的空间(") + Number(dataEnd - MiniDataBase) +
                      Gbk("字节)，后面的") + Number(dataSkipped) + Gbk("个字符没有生成"));
}

void Tmakefont::WriteMiniFiles() {
  const uint32_t end = std::clamp(DataPos, MiniDataBase, GlyphBufferSize);
  const auto* data = reinterpret_cast<const char*>(GlyphBuffer.data());
  WriteFileReplacing(Workspace / "mini.sbin", std::string_view(data + MiniDataBase, end - MiniDataBase));
  WriteFileReplacing(Workspace / "mini.idx", std::string_view(data + IndexArea, IndexAreaSize));
}

void Tmakefont::WriteFullFontFile() {
  const uint32_t end = std::min(DataPos, GlyphBufferSize);
  WriteFileReplacing(Workspace / PathFromText(OutputName + ".sbin"),
                     std::string_view(reinterpret_cast<const char*>(GlyphBuffer.data()), end));
}

}  // namespace panelcraft
