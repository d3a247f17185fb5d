#include "fonts/font_engine.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>

#include "app/text.h"

#if defined(__SANITIZE_ADDRESS__)
// fontconfig keeps what it read from its configuration files until the
// process ends; the leak checker of sanitizer builds is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
#endif

namespace panelcraft {

namespace {

const FcChar8* Fc(const std::string& text) { return reinterpret_cast<const FcChar8*>(text.c_str()); }

// fontconfig's current configuration, loaded on first use.
void InitFontconfig() {
  if (!FcInit()) throw FontError(Gbk("字体配置(fontconfig)无法初始化"));
}

std::vector<std::string> FamilyNamesUtf8() {
  InitFontconfig();
  std::vector<std::string> names;
  FcPattern* pattern = FcPatternCreate();
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, pattern, objects);
  if (fonts) {
    for (int i = 0; i < fonts->nfont; ++i) {
      FcChar8* name = nullptr;
      for (int k = 0; FcPatternGetString(fonts->fonts[i], FC_FAMILY, k, &name) == FcResultMatch; ++k)
        names.emplace_back(reinterpret_cast<const char*>(name));
    }
    FcFontSetDestroy(fonts);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return names;
}

bool IsInstalledFamily(const std::string& utf8Name) {
  for (const std::string& name : FamilyNamesUtf8())
    if (FcStrCmpIgnoreCase(Fc(name), Fc(utf8Name)) == 0) return true;
  return false;
}

FaceFile FileOf(FcPattern* font) {
  FaceFile file;
  FcChar8* path = nullptr;
  if (FcPatternGetString(font, FC_FILE, 0, &path) == FcResultMatch) file.Path = reinterpret_cast<const char*>(path);
  int index = 0;
  if (FcPatternGetInteger(font, FC_INDEX, 0, &index) == FcResultMatch) file.Index = index;
  return file;
}

}  // namespace

std::vector<std::string> InstalledFaceNames() {
  std::set<std::string> unique;
  for (const std::string& name : FamilyNamesUtf8())
    if (auto gbk = TryUtf8ToGbk(name)) unique.insert(*gbk);
  return {unique.begin(), unique.end()};
}

FaceFile FindFace(std::string_view faceGbk, int pixelSize, bool chinese) {
  InitFontconfig();
  const std::string name = GbkToUtf8(faceGbk);
  const bool installed = !name.empty() && IsInstalledFamily(name);
  FcPattern* pattern = FcPatternCreate();
  if (!name.empty()) FcPatternAddString(pattern, FC_FAMILY, Fc(name));
  FcPatternAddDouble(pattern, FC_PIXEL_SIZE, pixelSize);
  // The characters a substitute must have: the probes of the fitting steps.
  FcCharSet* needed = FcCharSetCreate();
  if (chinese) {
    FcCharSetAddChar(needed, 0x8584);  // 薄
    FcCharSetAddChar(needed, 0x554A);  // 啊
    if (!installed) FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
  } else {
    for (FcChar32 c = 0x21; c < 0x7F; ++c) FcCharSetAddChar(needed, c);
  }
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FaceFile found;
  FcResult result = FcResultNoMatch;
  if (installed) {
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
      found = FileOf(match);
      FcPatternDestroy(match);
    }
  } else if (FcFontSet* sorted = FcFontSort(nullptr, pattern, FcFalse, nullptr, &result)) {
    for (int i = 0; i < sorted->nfont && found.Path.empty(); ++i) {
      FcCharSet* has = nullptr;
      if (FcPatternGetCharSet(sorted->fonts[i], FC_CHARSET, 0, &has) == FcResultMatch && FcCharSetIsSubset(needed, has))
        found = FileOf(sorted->fonts[i]);
    }
    if (found.Path.empty() && sorted->nfont > 0) found = FileOf(sorted->fonts[0]);
    FcFontSetDestroy(sorted);
  }
  FcCharSetDestroy(needed);
  FcPatternDestroy(pattern);
  if (found.Path.empty()) throw FontError(Gbk("找不到可用的字体: ") + std::string(faceGbk));
  return found;
}

struct FontEngine::Impl {
  FT_Library library = nullptr;
  std::map<std::tuple<std::string, int>, FT_Face> faces;
  std::map<std::tuple<std::string, int, bool>, FaceFile> resolved;
  FT_Face face = nullptr;
  // The request last applied.
  std::string faceName;
  int cellHeight = -1;
  int averageWidth = -1;
  bool chinese = false;

  FT_Face Open(const FaceFile& file) {
    const auto key = std::make_tuple(file.Path, file.Index);
    if (auto it = faces.find(key); it != faces.end()) return it->second;
    FT_Face opened = nullptr;
    if (FT_New_Face(library, file.Path.c_str(), file.Index, &opened) != 0)
      throw FontError(Gbk("字体文件无法打开: ") + Utf8ToGbk(file.Path));
    faces.emplace(key, opened);
    return opened;
  }
};

FontEngine::FontEngine() : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->library) != 0) throw FontError(Gbk("字体引擎(FreeType)无法初始化"));
}

FontEngine::~FontEngine() {
  for (auto& [key, face] : impl_->faces) FT_Done_Face(face);
  FT_Done_FreeType(impl_->library);
}

void FontEngine::Apply(std::string_view faceGbk, int cellHeight, int averageWidth, bool chinese) {
  Impl& d = *impl_;
  cellHeight = std::max(cellHeight, 1);
  averageWidth = std::max(averageWidth, 0);
  if (d.face && d.faceName == faceGbk && d.cellHeight == cellHeight && d.averageWidth == averageWidth &&
      d.chinese == chinese)
    return;
  const auto key = std::make_tuple(std::string(faceGbk), cellHeight, chinese);
  auto found = d.resolved.find(key);
  if (found == d.resolved.end()) found = d.resolved.emplace(key, FindFace(faceGbk, cellHeight, chinese)).first;
  FT_Face face = d.Open(found->second);
  applied_ = AppliedFont{};
  applied_.File = found->second;

  if (FT_IS_SCALABLE(face)) {
    const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    double ascent = face->ascender;
    double descent = -face->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
      ascent = os2->usWinAscent;
      descent = os2->usWinDescent;
    }
    if (ascent + descent <= 0) {
      ascent = face->units_per_EM * 0.8;
      descent = face->units_per_EM * 0.2;
    }
    const double unitsPerEm = face->units_per_EM;
    const double scale = cellHeight / (ascent + descent);  // pixels per font unit
    const double averageUnits = os2 && os2->version != 0xFFFF && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : 0;
    const double xScale = averageWidth > 0 && averageUnits > 0 ? averageWidth / averageUnits : scale;
    applied_.CharHeight = std::max(1L, std::lround(scale * unitsPerEm * 64));
    applied_.CharWidth = std::max(1L, std::lround(xScale * unitsPerEm * 64));
    applied_.Ascent = static_cast<int>(std::lround(ascent * scale));
    if (FT_Set_Char_Size(face, applied_.CharWidth, applied_.CharHeight, 72, 72) != 0)
      throw FontError(Gbk("字体大小无法设置: ") + Utf8ToGbk(applied_.File.Path));
  } else {
    int best = -1;
    for (int i = 0; i < face->num_fixed_sizes; ++i) {
      const int h = face->available_sizes[i].height;
      if (best < 0) { best = i; continue; }
      const int bestHeight = face->available_sizes[best].height;
      const bool fits = h <= cellHeight, bestFits = bestHeight <= cellHeight;
      if ((fits && (!bestFits || h > bestHeight)) || (!fits && !bestFits && h < bestHeight)) best = i;
    }
    if (best < 0 || FT_Select_Size(face, best) != 0)
      throw FontError(Gbk("字体没有可用的点阵: ") + Utf8ToGbk(applied_.File.Path));
    applied_.Strike = best;
    applied_.Ascent = static_cast<int>((face->size->metrics.ascender + 32) >> 6);
  }
  d.face = face;
  d.faceName = std::string(faceGbk);
  d.cellHeight = cellHeight;
  d.averageWidth = averageWidth;
  d.chinese = chinese;
}

bool FontEngine::LoadGlyph(char32_t character, bool render) {
  FT_Face face = impl_->face;
  if (!face || character == 0) return false;
  const FT_UInt index = FT_Get_Char_Index(face, character);
  FT_Int32 flags = FT_LOAD_TARGET_MONO;
  if (render) flags |= FT_LOAD_RENDER | FT_LOAD_MONOCHROME;
  return FT_Load_Glyph(face, index, flags) == 0;
}

int FontEngine::Advance(char32_t character) {
  if (!LoadGlyph(character, false)) return 0;
  return static_cast<int>((impl_->face->glyph->advance.x + 32) >> 6);
}

int FontEngine::Draw(DrawingSurface& surface, int x, int y, char32_t character) {
  if (!LoadGlyph(character, true)) return 0;
  const FT_GlyphSlot slot = impl_->face->glyph;
  const FT_Bitmap& bitmap = slot->bitmap;
  const int left = x + slot->bitmap_left;
  const int top = y + applied_.Ascent - slot->bitmap_top;
  const int rows = static_cast<int>(bitmap.rows);
  const int width = static_cast<int>(bitmap.width);
  if (rows > 0 && width > 0 && bitmap.buffer) {
    const uint8_t* first = bitmap.pitch >= 0 ? bitmap.buffer : bitmap.buffer + static_cast<ptrdiff_t>(rows - 1) * -bitmap.pitch;
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) {
      surface.DrawBits(left, top, first, width, rows, bitmap.pitch);
    } else if (bitmap.pixel_mode == FT_PIXEL_MODE_GRAY) {
      // An embedded grey strike: only full-strength pixels are ink.
      const int full = std::max(1, static_cast<int>(bitmap.num_grays) - 1);
      for (int r = 0; r < rows; ++r)
        for (int c = 0; c < width; ++c)
          if (first[static_cast<ptrdiff_t>(r) * bitmap.pitch + c] >= full) surface.SetInk(left + c, top + r);
    }
  }
  return static_cast<int>((slot->advance.x + 32) >> 6);
}

namespace {

// Calls `each` with the character of every code of a GBK text.
template <typename Each>
void ForEachCharacter(const GbkCodeTable& codes, std::string_view gbk, Each each) {
  for (size_t i = 0; i < gbk.size(); ++i) {
    const uint8_t b = static_cast<uint8_t>(gbk[i]);
    if (b > 0x80 && i + 1 < gbk.size()) {
      each(codes.Pair(b, static_cast<uint8_t>(gbk[i + 1])));
      ++i;
    } else if (b <= 0x80) {
      each(codes.Single(b));
    }
  }
}

}  // namespace

int FontEngine::DrawText(DrawingSurface& surface, int x, int y, std::string_view gbk) {
  int pen = x;
  ForEachCharacter(codes_, gbk, [&](char32_t c) { pen += Draw(surface, pen, y, c); });
  return pen - x;
}

int FontEngine::TextAdvance(std::string_view gbk) {
  int total = 0;
  ForEachCharacter(codes_, gbk, [&](char32_t c) { total += Advance(c); });
  return total;
}

}  // namespace panelcraft
