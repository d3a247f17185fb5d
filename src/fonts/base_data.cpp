#include "fonts/base_data.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <memory>
#include <vector>

#include "app/text.h"
#include "device/rom.h"
#include "fonts/drawing_surface.h"
#include "fonts/font_engine.h"
#include "fonts/gbk_code_table.h"

namespace panelcraft {

namespace {

// One bitmap font file at its first strike (or `pixelSize` for a scalable
// font).
class StrikeFont {
 public:
  StrikeFont(const std::filesystem::path& file, int pixelSize) {
    if (FT_Init_FreeType(&library_) != 0) throw FontError(Gbk("字体引擎(FreeType)无法初始化"));
    if (FT_New_Face(library_, file.c_str(), 0, &face_) != 0) {
      FT_Done_FreeType(library_);
      throw FontError(Gbk("字体文件无法打开: ") + Utf8ToGbk(file.string()));
    }
    const bool sized = FT_IS_SCALABLE(face_) ? FT_Set_Pixel_Sizes(face_, 0, static_cast<FT_UInt>(pixelSize)) == 0
                                             : face_->num_fixed_sizes > 0 && FT_Select_Size(face_, 0) == 0;
    if (!sized) {
      FT_Done_Face(face_);
      FT_Done_FreeType(library_);
      throw FontError(Gbk("字体没有可用的点阵: ") + Utf8ToGbk(file.string()));
    }
  }
  ~StrikeFont() {
    FT_Done_Face(face_);
    FT_Done_FreeType(library_);
  }
  StrikeFont(const StrikeFont&) = delete;
  StrikeFont& operator=(const StrikeFont&) = delete;

  // Draws a character with its pen at x and its baseline at row `baseline`;
  // a character the font lacks draws nothing.
  void Draw(DrawingSurface& surface, int x, int baseline, char32_t c) {
    if (!Load(c)) return;
    const FT_Bitmap& b = face_->glyph->bitmap;
    surface.DrawBits(x + face_->glyph->bitmap_left, baseline - face_->glyph->bitmap_top, b.buffer,
                     static_cast<int>(b.width), static_cast<int>(b.rows), b.pitch);
  }
  // How far above the baseline a character's ink reaches (0 when it has none).
  int Top(char32_t c) { return Load(c) ? face_->glyph->bitmap_top : 0; }

 private:
  bool Load(char32_t c) {
    if (c == 0) return false;
    const FT_UInt index = FT_Get_Char_Index(face_, c);
    if (index == 0 || FT_Load_Glyph(face_, index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0)
      return false;
    const FT_Bitmap& b = face_->glyph->bitmap;
    return b.pixel_mode == FT_PIXEL_MODE_MONO && b.buffer && b.pitch >= 0;
  }

  FT_Library library_ = nullptr;
  FT_Face face_ = nullptr;
};

// One column of a cell: bit y is the dot of row y.
using Column = uint32_t;

std::vector<Column> ColumnsAt(const DrawingSurface& surface, int left, int count, int dots) {
  std::vector<Column> columns(static_cast<size_t>(count), 0);
  for (int x = 0; x < count; ++x)
    for (int y = 0; y < dots; ++y)
      if (surface.IsInk(left + x, 1 + y)) columns[static_cast<size_t>(x)] |= Column{1} << y;
  return columns;
}

// Writes columns as `bytesPerColumn` bytes each, bit 0 the top dot of a byte.
void PackColumns(const std::vector<Column>& columns, int bytesPerColumn, uint8_t* out) {
  for (size_t x = 0; x < columns.size(); ++x)
    for (int i = 0; i < bytesPerColumn; ++i) out[x * static_cast<size_t>(bytesPerColumn) + static_cast<size_t>(i)] = static_cast<uint8_t>(columns[x] >> (8 * i));
}

// The GB2312 font of a square cell of `dots`: each character's baseline is
// placed so that the top of "国" lies on the cell's top row.
void WriteGb2312Font(StrikeFont& font, const GbkCodeTable& codes, int dots, uint32_t address, std::string& data) {
  DrawingSurface surface;
  const int baseline = 1 + font.Top(0x56FD);
  const int glyphBytes = dots * 2;
  for (int lead = 0xA1; lead <= 0xF7; ++lead)
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      uint8_t* glyph = reinterpret_cast<uint8_t*>(data.data()) + address +
                       static_cast<size_t>(((lead - 0xA1) * 94 + (trail - 0xA1)) * glyphBytes);
      surface.FillWhite(0, 0, 4 * dots, 4 * dots);
      font.Draw(surface, 1, baseline, codes.Pair(static_cast<uint8_t>(lead), static_cast<uint8_t>(trail)));
      PackColumns(ColumnsAt(surface, 1, dots, dots), 2, glyph);
    }
}

// The 8 x 16 ASCII font, baseline on row 12 (ink of the 12-pixel strike then
// spans rows 1 to 13). A glyph keeps its place from the pen when it fits the
// 8 columns; otherwise its ink is moved in, and ink wider than 8 columns loses
// middle columns, each joined into its neighbour.
void WriteAsciiFont(StrikeFont& font, const GbkCodeTable& codes, std::string& data) {
  constexpr int kPen = 16;
  DrawingSurface surface;
  for (int c = 0x20; c <= 0x7E; ++c) {
    surface.FillWhite(0, 0, 64, 20);
    font.Draw(surface, kPen, 1 + 12, codes.Single(static_cast<uint8_t>(c)));
    std::vector<Column> columns = ColumnsAt(surface, 0, 48, 16);
    int first = 0, last = -1;
    for (int x = 0; x < 48; ++x)
      if (columns[static_cast<size_t>(x)]) {
        if (last < 0) first = x;
        last = x;
      }
    std::vector<Column> cell(8, 0);
    if (last >= 0) {
      std::vector<Column> ink(columns.begin() + first, columns.begin() + last + 1);
      while (ink.size() > 8) {
        const size_t middle = ink.size() / 2;
        ink[middle - 1] |= ink[middle];
        ink.erase(ink.begin() + static_cast<long>(middle));
      }
      int start = first - kPen;
      start = std::clamp(start, 0, 8 - static_cast<int>(ink.size()));
      std::copy(ink.begin(), ink.end(), cell.begin() + start);
    }
    PackColumns(cell, 2, reinterpret_cast<uint8_t*>(data.data()) + Trom::Ascii8x16 + static_cast<size_t>((c - 0x20) * 16));
  }
}

}  // namespace

std::filesystem::path FindBitmapSongStrike(int pixelSize) {
  if (!FcInit()) return {};
  std::filesystem::path found;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("WenQuanYi Bitmap Song"));
  FcObjectSet* objects = FcObjectSetBuild(FC_FILE, FC_PIXEL_SIZE, FC_SCALABLE, nullptr);
  if (FcFontSet* fonts = FcFontList(nullptr, pattern, objects)) {
    for (int i = 0; i < fonts->nfont && found.empty(); ++i) {
      double size = 0;
      FcChar8* file = nullptr;
      if (FcPatternGetDouble(fonts->fonts[i], FC_PIXEL_SIZE, 0, &size) == FcResultMatch && size == pixelSize &&
          FcPatternGetString(fonts->fonts[i], FC_FILE, 0, &file) == FcResultMatch)
        found = reinterpret_cast<const char*>(file);
    }
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return found;
}

std::string MakeBaseData(const std::filesystem::path& font12, const std::filesystem::path& font16) {
  std::string data(kBaseDataSize, '\xFF');
  const uint32_t version = static_cast<uint32_t>(kBaseDataVersion);
  for (int i = 0; i < 4; ++i) data[kBaseDataVersionOffset + i] = static_cast<char>(version >> (8 * i) & 0xFF);
  const GbkCodeTable codes;
  StrikeFont small(font12, 12);
  WriteGb2312Font(small, codes, 12, Trom::Font12, data);
  WriteAsciiFont(small, codes, data);
  StrikeFont large(font16, 16);
  WriteGb2312Font(large, codes, 16, Trom::Font16, data);
  return data;
}

}  // namespace panelcraft
