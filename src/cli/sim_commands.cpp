// run, render: statements and pages drawn on the virtual display, written as
// PNG or PPM pictures, with the area each statement reports.
#include <iostream>
#include <memory>

#include "app/files.h"
#include "app/text.h"
#include "cli/cli.h"
#include "sim/image_output.h"

namespace panelcraft::cli {

namespace {

struct Size {
  int width = 320;
  int height = 240;
};

Size ParseSize(const std::string& text) {
  const size_t x = text.find_first_of("xX");
  if (x == std::string::npos) throw UsageError("--size wants WxH, such as 480x272");
  const int w = IntOrZero(text.substr(0, x)), h = IntOrZero(text.substr(x + 1));
  if (w < 1 || h < 1 || w > 4096 || h > 4096) throw UsageError("--size: width and height are 1 to 4096");
  return {w, h};
}

// The ROM image from a file (up to 16 MB; the rest stays 0xFF), or built
// from the workspace.
void PrepareRom(Context& c, const std::optional<std::string>& romFile) {
  if (romFile) {
    const std::string bytes = ReadFileBytes(fs::path(*romFile));
    if (bytes.size() > Trom::ImageSize) {
      std::cerr << *romFile << ": larger than 16 MB, not a ROM image\n";
      throw Failed();
    }
    std::fill(c.g.Rom.Image.begin(), c.g.Rom.Image.end(), uint8_t{0xFF});
    std::copy(bytes.begin(), bytes.end(), c.g.Rom.Image.begin());
    c.g.Cmd.Display.ReloadFontHeader();
    return;
  }
  const Trom::BuildReport report = c.g.Rom.BuildImage(c.g.BuildInputs());
  for (const std::string& message : report.Messages) c.messages.Show(message);
}

// A display of the given size with its surface, cleared by "CLS(0)".
std::unique_ptr<Surface> StartDisplay(Context& c, Size size) {
  auto surface = std::make_unique<Surface>(size.width, size.height);
  Tcmd& cmd = c.g.Cmd;
  cmd.Display.SetSurface(surface.get());
  cmd.DisplayWidth = size.width;
  cmd.DisplayHeight = size.height;
  cmd.RunStatement("CLS(0)");
  return surface;
}

void Finish(Context& c, const Surface& surface, const std::optional<std::string>& output) {
  c.g.Cmd.Display.SetSurface(nullptr);
  if (!output) return;
  WriteSurfacePicture(fs::path(*output), surface);
  c.out << "wrote " << *output << "\n";
}

}  // namespace

int RunCommand(Context& c, Args args) {
  const auto romFile = args.Option("--rom");
  const auto sizeText = args.Option("--size");
  const bool report = args.Flag("--report");
  const auto output = args.Option("-o");
  std::vector<std::string> statements;
  while (auto word = args.NextIfAny()) {
    if (word->rfind("--", 0) == 0) throw UsageError("unknown option " + *word);
    statements.push_back(ArgToGbk(*word));
  }
  // Without statement arguments the statement list comes from standard input.
  if (statements.empty()) statements.push_back(ReadStatementInput(std::nullopt));
  const Size size = sizeText ? ParseSize(*sizeText) : Size{};
  PrepareRom(c, romFile);
  auto surface = StartDisplay(c, size);
  Tcmd& cmd = c.g.Cmd;
  auto runOne = [&](const std::string& statement) {
    cmd.RunStatement(statement);
    if (report)
      c.out << Show(statement) << " " << cmd.ReportLeft << " " << cmd.ReportTop << " " << cmd.ReportRight << " "
            << cmd.ReportBottom << "\n";
  };
  // Each argument is a statement list whose last ";" may be left out, so a
  // single statement runs as it is typed.
  for (const std::string& argument : statements) SplitStatementList(argument + ";", runOne);
  Finish(c, *surface, output);
  return 0;
}

int RenderCommand(Context& c, Args args) {
  const int n = IntOrZero(args.Next("N"));
  const auto sizeText = args.Option("--size");
  const auto output = args.Option("-o");
  args.Done();
  if (n < 1 || n > PageList::PageCount) throw UsageError("N is a page number 1 to 128");
  Size size;
  if (c.g.Rom.ScreenWidth > 0 && c.g.Rom.ScreenHeight > 0) size = {c.g.Rom.ScreenWidth, c.g.Rom.ScreenHeight};
  if (sizeText) size = ParseSize(*sizeText);
  PrepareRom(c, std::nullopt);
  auto surface = StartDisplay(c, size);
  c.g.Cmd.RunStatementList(c.g.Pages.PageContent(n));
  Finish(c, *surface, output);
  return 0;
}

}  // namespace panelcraft::cli
