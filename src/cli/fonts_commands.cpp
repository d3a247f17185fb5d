// fonts faces|set|gbk16|summary|generate: the font settings window and the
// generation run; make-base: the built-in base data file.
#include <unistd.h>

#include <iostream>

#include "app/files.h"
#include "app/text.h"
#include "cli/cli.h"
#include "fonts/base_data.h"
#include "fonts/font_engine.h"
#include "fonts/font_run.h"
#include "fonts/font_settings.h"

namespace panelcraft::cli {

namespace {

int32_t SizeArg(const std::string& text) { return IntChoice(text, "SIZE", {24, 32, 48, 64}); }

int Faces(Context& c, Args& args) {
  args.Done();
  for (const std::string& name : InstalledFaceNames()) c.out << Show(name) << "\n";
  return 0;
}

int Set(Context& c, Args& args) {
  const int32_t size = SizeArg(args.Next("SIZE"));
  const std::string kind = args.Next("asc|hz");
  const std::string face = ArgToGbk(args.Next("FACE"));
  const auto set = args.Option("--set");
  const auto chars = args.Option("--chars");
  const bool fixed = args.Flag("--fixed");
  args.Done();
  RequireProject(c);
  if (kind == "hz") {
    if (fixed) throw UsageError("--fixed is for asc");
    ChineseFontDialog dialog;
    dialog.Load(c.g.Store, size);
    dialog.Face = face;
    if (set) {
      if (*set == "list") dialog.Choice = 0;
      else if (*set == "gb2312") dialog.Choice = 1;
      else if (*set == "gbk") dialog.Choice = 2;
      else throw UsageError("--set for hz is gb2312, gbk or list");
    }
    if (chars) dialog.List = ArgToGbk(*chars);
    if (!dialog.Confirm(c.g.Store, c.messages)) throw Failed();
  } else if (kind == "asc") {
    AsciiFontDialog dialog;
    dialog.Load(c.g.Store, size);
    dialog.Face = face;
    dialog.FixedWidth = fixed ? 1 : 0;
    if (set) {
      if (*set == "all") dialog.Set = 0;
      else if (*set == "list") dialog.Set = 1;
      else throw UsageError("--set for asc is all or list");
    }
    if (chars) dialog.List = ArgToGbk(*chars);
    dialog.Confirm(c.g.Store);
  } else {
    throw UsageError("asc or hz expected, not " + kind);
  }
  return 0;
}

int Gbk16(Context& c, Args& args) {
  const std::string state = args.Next("on|off");
  args.Done();
  if (state != "on" && state != "off") throw UsageError("gbk16 takes on or off");
  RequireProject(c);
  SetGbk16(c.g.Store, state == "on");
  return 0;
}

int Summary(Context& c, Args& args) {
  args.Done();
  RequireProject(c);
  const FontSummary summary = RefreshSummary(c.g.Store);
  for (size_t i = 0; i < kSmallFontSizes.size(); ++i) {
    const std::string n = std::to_string(kSmallFontSizes[i]);
    c.out << "zt" << n << "asc  " << Show(summary.Ascii[i]) << "\n";
    c.out << "zt" << n << "hz   " << Show(summary.Chinese[i]) << "\n";
  }
  c.out << "gbk16      " << (summary.Gbk16Checked ? "on" : "off") << "\n";
  c.out << "generate   " << (summary.GenerateEnabled ? "enabled" : "disabled") << "\n";
  return 0;
}

int Generate(Context& c, Args& args) {
  args.Done();
  RequireProject(c);
  if (!RefreshSummary(c.g.Store).GenerateEnabled) {
    c.messages.Show(Gbk("说明： 需要设置完成上面的8项内容，才能生成点阵数据！"));
    throw Failed();
  }
  ProgressBar bar;
  int last = 0;
  FontRunOutput output;
  output.Log = [&](const std::string& line) {
    bar.Clear();
    c.out << cli::Show(line) << std::endl;
    bar.Show(last);
  };
  output.Progress = [&](int percent) {
    last = percent;
    bar.Show(percent);
  };
  c.out << cli::Show(Gbk("生成日志:")) << "\n\n";
  const bool ok = RunFontGeneration(c.g, output);
  bar.Clear();
  return ok ? 0 : 1;
}

}  // namespace

int FontsCommand(Context& c, Args args) {
  const std::string verb = args.Next("fonts command");
  if (verb == "faces") return Faces(c, args);
  if (verb == "set") return Set(c, args);
  if (verb == "gbk16") return Gbk16(c, args);
  if (verb == "summary") return Summary(c, args);
  if (verb == "generate") return Generate(c, args);
  throw UsageError("unknown fonts command: " + verb);
}

int MakeBaseCommand(Context& c, Args args) {
  const std::string file = args.Next("FILE");
  const auto font12 = args.Option("--font12");
  const auto font16 = args.Option("--font16");
  args.Done();
  const fs::path strike12 = font12 ? fs::path(*font12) : FindBitmapSongStrike(12);
  const fs::path strike16 = font16 ? fs::path(*font16) : FindBitmapSongStrike(16);
  for (auto [path, size] : {std::pair{strike12, 12}, {strike16, 16}})
    if (path.empty()) {
      std::cerr << "no " << size << "-pixel WenQuanYi Bitmap Song strike installed (package xfonts-wqy); "
                << "name a bitmap font with --font" << size << "\n";
      throw Failed();
    }
  WriteFileReplacing(fs::path(file), MakeBaseData(strike12, strike16));
  c.out << "wrote " << file << " (12-dot font from " << strike12.string() << ", 16-dot and 8x16 ASCII from "
        << strike16.string() << ")\n";
  return 0;
}

}  // namespace panelcraft::cli
