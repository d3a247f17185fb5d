// The font generation run: turns the project's font settings into the font
// data files in the workspace. First the small font of the sizes 24, 32, 48
// and 64 (ASCII then Chinese of each size) into "mini.sbin" and "mini.idx";
// then the 16-dot GBK full font when "hz16bf" is 4, then the full fonts of
// 24, 32 and 48 (and 64) dots that the settings ask for.
//
// A full font that cannot be made (GBK at 48 dots, any full font at 64) stops
// the run before anything is drawn. The window shows the log lines and the
// progress; afterwards it switches the main window to the start page.
#pragma once

#include <functional>
#include <string>

namespace panelcraft {

class Tglobal;

struct FontRunOutput {
  std::function<void(const std::string& gbkLine)> Log;
  std::function<void(int percent)> Progress;  // 0..100
};

// The whole run on the context's rasterizer and project store. Shows
// "汉字点阵生成完成！" at the end and returns true; a refused setting or a
// file that cannot be written is shown and logged and returns false (files
// written before stay).
bool RunFontGeneration(Tglobal& g, const FontRunOutput& output);

}  // namespace panelcraft
