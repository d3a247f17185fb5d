#include "fonts/font_run.h"

#include "app/files.h"
#include "app/global.h"
#include "app/text.h"
#include "fonts/font_engine.h"
#include "fonts/font_settings.h"
#include "fonts/makefont.h"

namespace panelcraft {

namespace {

class Run {
 public:
  Run(Tglobal& g, const FontRunOutput& output) : g_(g), f_(g.MakeFont), out_(output) {}

  bool Whole();

 private:
  void Log(const std::string& line) {
    if (out_.Log) out_.Log(line);
  }
  void Progress(int percent) {
    if (out_.Progress) out_.Progress(percent);
  }
  // The list of a memo key: every CR LF pair removed.
  std::string ListOf(const std::string& key) { return ReplaceAll(g_.Store.Get(key), "\r\n", ""); }
  // Logs and clears what the rasterizer reported.
  void LogReports() {
    for (const std::string& report : f_.Reports) {
      Log(report);
      reported_.push_back(report);
    }
    f_.Reports.clear();
  }
  void LogFit(bool ascii) {
    LogReports();
    Log(Gbk("使用字体:") + f_.FontFace);
    if (ascii)
      Log(Gbk("自动使用参数: 宽:") + std::to_string(f_.FontWidth) + Gbk(" 高:") + std::to_string(f_.FontHeight) +
          Gbk(" X偏:") + std::to_string(f_.OffsetX) + Gbk(" Y偏:") + std::to_string(f_.OffsetY));
    else
      Log(Gbk("自动使用参数: 大小:") + std::to_string(f_.FontHeight) + Gbk(" X偏:") + std::to_string(f_.OffsetX) +
          Gbk(" Y偏:") + std::to_string(f_.OffsetY));
  }
  std::string Refusal();
  void RunAscii(int32_t n);
  void RunSmallChinese(int32_t n);
  void RunFullChinese(int32_t n);
  void RunGbk16();
  void RunFull(int32_t n, const std::string& face, int32_t choice, const std::string& listKey,
               const std::string& outputName);

  Tglobal& g_;
  Tmakefont& f_;
  const FontRunOutput& out_;
  std::vector<std::string> reported_;
};

// The first full-font choice that cannot be made, as its message.
std::string Run::Refusal() {
  for (int32_t n : kSmallFontSizes) {
    const int32_t bf = g_.Store.GetInt(FontKey("hz", n, "bf"));
    if (bf == 0) continue;
    if (auto refusal = Tmakefont::FullFontRefusal(n, bf + 2)) return *refusal;
  }
  return {};
}

void Run::RunAscii(int32_t n) {
  f_.IndexPos = Trom::MiniIndexTable(n);
  Log(Gbk("开始生成") + std::to_string(n) + Gbk("点阵的asc字符"));
  f_.DotSize = n;
  f_.FontFace = g_.Store.Get(FontKey("asc", n, "zt"));
  const int32_t set = g_.Store.GetInt(FontKey("asc", n, "bf"));
  f_.GlyphMode = g_.Store.GetInt(FontKey("asc", n, "dk"));
  f_.FitAsciiFont();
  LogFit(true);
  f_.CharSetChoice = set;
  f_.CharList = ListOf(FontKey("asc", n, "memo"));
  f_.Generate();
  f_.OutputName = "asc" + std::to_string(n);
  LogReports();
  Log(Gbk("生成完成"));
}

void Run::RunSmallChinese(int32_t n) {
  if (g_.Store.GetInt(FontKey("hz", n, "bf")) != 0) return;
  Log(Gbk("开始生成") + std::to_string(n) + Gbk("点阵的汉字"));
  f_.DotSize = n;
  f_.FontFace = g_.Store.Get(FontKey("hz", n, "zt"));
  f_.GlyphMode = 2;
  f_.FitChineseFont();
  LogFit(false);
  f_.CharSetChoice = 2;
  f_.CharList = ListOf(FontKey("hz", n, "memo"));
  f_.Generate();
  f_.OutputName = "hz" + std::to_string(n);
  LogReports();
  Log(Gbk("生成完成"));
}

void Run::RunFull(int32_t n, const std::string& face, int32_t choice, const std::string& listKey,
                  const std::string& outputName) {
  f_.Reset();
  Log(Gbk("开始生成") + std::to_string(n) + Gbk("点阵的汉字"));
  f_.DotSize = n;
  f_.FontFace = face;
  f_.GlyphMode = 2;
  f_.FitChineseFont();
  LogFit(false);
  f_.CharSetChoice = choice;
  f_.CharList = ListOf(listKey);
  f_.Generate([this](int percent) { Progress(percent); });
  f_.OutputName = outputName;
  f_.WriteFullFontFile();
  LogReports();
  Log(Gbk("生成完成"));
}

void Run::RunFullChinese(int32_t n) {
  const int32_t bf = g_.Store.GetInt(FontKey("hz", n, "bf"));
  if (bf == 0) return;
  RunFull(n, g_.Store.Get(FontKey("hz", n, "zt")), bf + 2, FontKey("hz", n, "memo"), "hz" + std::to_string(n));
}

void Run::RunGbk16() { RunFull(16, Gbk("宋体"), 4, FontKey("hz", 16, "memo"), "hz16"); }

bool Run::Whole() {
  if (const std::string refusal = Refusal(); !refusal.empty()) {
    Log(refusal);
    g_.Messages.Show(refusal);
    return false;
  }
  try {
    f_.Workspace = g_.Workspace();
    f_.Reset();
    f_.DataPos = f_.MiniDataBase;
    for (auto [percent, n] : {std::pair{0, 24}, {100, 32}, {0, 48}, {100, 64}}) {
      Progress(percent);
      RunAscii(n);
      RunSmallChinese(n);
    }
    Progress(0);
    f_.WriteMiniFiles();
    Progress(100);
    if (g_.Store.GetInt("hz16bf") == 4) RunGbk16();
    for (int32_t n : kSmallFontSizes) {
      RunFullChinese(n);
      Progress(100);
    }
  } catch (const std::exception& e) {
    // A file that cannot be written, or no usable font at all.
    Log(e.what());
    g_.Messages.Show(e.what());
    return false;
  }
  for (const std::string& report : reported_) g_.Messages.Show(report);
  g_.Messages.Show(Gbk("汉字点阵生成完成！"));
  return true;
}

}  // namespace

bool RunFontGeneration(Tglobal& g, const FontRunOutput& output) { return Run(g, output).Whole(); }

}  // namespace panelcraft
