// FontEngine: draws GBK text with the PC's installed fonts on the 1-bit
// drawing surface, over fontconfig (finding faces) and FreeType (glyphs).
//
// How a font is asked for:
// - the cell height h is the pixel size at which the face's Windows ascent
//   plus descent (OS/2 usWinAscent + usWinDescent; the face's ascender minus
//   descender without an OS/2 table) is h; the baseline lies the ascent below
//   the top of the cell;
// - an average width w scales the glyphs horizontally so that the face's
//   average character width (OS/2 xAvgCharWidth) is w; without it the glyphs
//   keep the vertical scale (natural width);
// - glyphs are rendered in monochrome, hinted, with hinted advances in whole
//   pixels; embedded bitmap strikes are used when they match the size, and a
//   face made of bitmap strikes only uses its tallest strike that fits the
//   cell;
// - a face name that is installed draws with that face; any other name draws
//   with fontconfig's best match that has the characters being drawn (with
//   Chinese coverage for Chinese text), so "宋体" draws with an installed CJK
//   face.
//
// One engine belongs to one thread.
#pragma once

#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fonts/drawing_surface.h"
#include "fonts/gbk_code_table.h"

namespace panelcraft {

// No usable font at all (GBK message).
class FontError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The names of all installed font families, every name fontconfig knows for
// them (also the localised ones), as GBK texts, sorted and without repeats.
// Names without a GBK form are left out.
std::vector<std::string> InstalledFaceNames();

// A font file and the face's index in it.
struct FaceFile {
  std::string Path;
  int Index = 0;
  bool operator==(const FaceFile&) const = default;
};

// The face a name resolves to: the name itself when it is installed,
// otherwise the best match with the characters that will be drawn.
FaceFile FindFace(std::string_view faceGbk, int pixelSize, bool chinese);

// What the last Apply put on: the face, and for a scalable face the FreeType
// character size (26.6 pixels per em, horizontal and vertical); for a face of
// bitmap strikes the strike chosen.
struct AppliedFont {
  FaceFile File;
  long CharWidth = 0;
  long CharHeight = 0;
  int Strike = -1;
  int Ascent = 0;
};

class FontEngine {
 public:
  FontEngine();
  ~FontEngine();
  FontEngine(const FontEngine&) = delete;
  FontEngine& operator=(const FontEngine&) = delete;

  // Puts a font on: face name (GBK), cell height in pixels, average character
  // width in pixels (0: natural width), and whether Chinese text is drawn.
  // Throws FontError when no font can be found at all.
  void Apply(std::string_view faceGbk, int cellHeight, int averageWidth, bool chinese);
  const AppliedFont& Applied() const { return applied_; }

  // Hinted advance width in whole pixels of a character (0 for none).
  int Advance(char32_t character);
  // Draws a character with the top-left corner of its cell at (x, y) in ink;
  // returns its advance. Character 0 draws nothing.
  int Draw(DrawingSurface& surface, int x, int y, char32_t character);
  // Draws GBK text from (x, y), character after character; a byte above 0x80
  // starts a two-byte character. Returns the total advance.
  int DrawText(DrawingSurface& surface, int x, int y, std::string_view gbk);
  int TextAdvance(std::string_view gbk);

  const GbkCodeTable& Codes() const { return codes_; }

 private:
  struct Impl;
  bool LoadGlyph(char32_t character, bool render);

  std::unique_ptr<Impl> impl_;
  GbkCodeTable codes_;
  AppliedFont applied_;
};

}  // namespace panelcraft
