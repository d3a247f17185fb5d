// Full-font generation against FreeType alone: the GB2312 24-dot and the GBK
// 16-dot full font made by Tmakefont (drawing on the 1-bit surface and packing
// the glyphs), and as the baseline FreeType rendering the same characters in
// monochrome at the same size from the same face, without the surface.
// After the report each pair's ratio is printed; the target is at most 1.5.
#include <benchmark/benchmark.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <map>
#include <stdexcept>
#include <vector>

#include "device/rom.h"
#include "fonts/drawing_surface.h"
#include "fonts/makefont.h"

namespace panelcraft {
namespace {

struct FullFont {
  int32_t dotSize;
  int32_t choice;
  uint8_t firstLead, lastLead, firstTrail, lastTrail;
};
constexpr FullFont kGb2312Of24{24, 3, 0xA1, 0xF7, 0xA1, 0xFE};
constexpr FullFont kGbkOf16{16, 4, 0x81, 0xFE, 0x40, 0xFE};

// A rasterizer fitted for a full font, as the generation run prepares it.
struct Fitted {
  explicit Fitted(const FullFont& font) {
    f.DotSize = font.dotSize;
    f.FontFace = "\xCB\xCE\xCC\xE5";  // 宋体
    f.GlyphMode = 2;
    f.FitChineseFont();
    f.CharSetChoice = font.choice;
  }
  Trom rom;
  DrawingSurface surface;
  Tmakefont f{rom, surface};
};

void MakefontFull(benchmark::State& state, FullFont font) {
  Fitted fitted(font);
  for (auto _ : state) {
    fitted.f.DataPos = 0;
    fitted.f.CharSetChoice = font.choice;
    fitted.f.Generate();
    benchmark::DoNotOptimize(fitted.f.GlyphBuffer.data());
  }
  state.SetItemsProcessed(state.iterations() * (font.lastLead - font.firstLead + 1) *
                          (font.lastTrail - font.firstTrail + 1));
}

void FreeTypeFull(benchmark::State& state, FullFont font) {
  Fitted fitted(font);
  const AppliedFont& applied = fitted.f.Engine().Applied();
  std::vector<char32_t> characters;
  for (int lead = font.firstLead; lead <= font.lastLead; ++lead)
    for (int trail = font.firstTrail; trail <= font.lastTrail; ++trail)
      characters.push_back(fitted.f.Engine().Codes().Pair(static_cast<uint8_t>(lead), static_cast<uint8_t>(trail)));
  FT_Library library;
  FT_Face face;
  if (FT_Init_FreeType(&library) != 0 || FT_New_Face(library, applied.File.Path.c_str(), applied.File.Index, &face) != 0)
    throw std::runtime_error("FreeType cannot open " + applied.File.Path);
  if (applied.Strike >= 0) FT_Select_Size(face, applied.Strike);
  else FT_Set_Char_Size(face, applied.CharWidth, applied.CharHeight, 72, 72);
  for (auto _ : state) {
    for (char32_t c : characters) {
      if (c == 0) continue;
      FT_Load_Glyph(face, FT_Get_Char_Index(face, c), FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME);
      benchmark::DoNotOptimize(face->glyph->bitmap.buffer);
    }
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(characters.size()));
  FT_Done_Face(face);
  FT_Done_FreeType(library);
}

BENCHMARK_CAPTURE(FreeTypeFull, Gb2312_24, kGb2312Of24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MakefontFull, Gb2312_24, kGb2312Of24)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(FreeTypeFull, Gbk_16, kGbkOf16)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(MakefontFull, Gbk_16, kGbkOf16)->Unit(benchmark::kMillisecond);

// Prints, for every "MakefontFull/X", its time over that of "FreeTypeFull/X".
class PairRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) times_[run.benchmark_name()] = run.GetAdjustedCPUTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    const std::string ours = "MakefontFull/", theirs = "FreeTypeFull/";
    for (const auto& [name, time] : times_) {
      if (name.rfind(ours, 0) != 0) continue;
      const std::string suffix = name.substr(ours.size());
      for (const auto& [other, baseline] : times_)
        if (other.rfind(theirs + suffix, 0) == 0 && baseline > 0)
          std::printf("ratio %s / %s = %.2f (CPU time)\n", name.c_str(), other.c_str(), time / baseline);
    }
  }

 private:
  std::map<std::string, double> times_;
};

}  // namespace
}  // namespace panelcraft

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  panelcraft::PairRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}
