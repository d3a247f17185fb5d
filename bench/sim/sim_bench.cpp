// One run of a 480 x 272 page (a full-screen picture, ten 24-dot texts from
// the small font and a full font, a menu of 7 rows and 20 drawing
// statements) against converting the picture's pixels from RGB565 to the
// surface once.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "app/text.h"
#include "device/rom.h"
#include "lang/cmd.h"
#include "sim/surface.h"
#include "support/ratio_main.h"

namespace {

using panelcraft::Gbk;
using panelcraft::Surface;
using panelcraft::Tgd;
using panelcraft::Trom;

constexpr int kWidth = 480, kHeight = 272;
constexpr uint32_t kPictureData = 0x100000;

void Put(Trom& rom, uint32_t at, std::initializer_list<uint8_t> bytes) {
  for (uint8_t b : bytes) rom.Image[at++] = b;
}

struct Setup {
  std::unique_ptr<Trom> rom = std::make_unique<Trom>();
  std::string page;  // the page's statements
  std::string menuPage;

  Setup() {
    Trom& r = *rom;
    // Picture 1: full screen.
    Put(r, Trom::PictureIndex + 8, {kWidth >> 8, kWidth & 255, kHeight >> 8, kHeight & 255, 0, 0x10, 0, 0});
    uint32_t x = 7;
    for (uint32_t i = 0; i < kWidth * kHeight * 2; ++i)
      r.Image[kPictureData + i] = static_cast<uint8_t>((x = x * 1103515245u + 12345u) >> 24) & 0xFE;
    // Small font at 24 dots: the letters, 12 columns each.
    int entry = 0;
    for (int c = 'A'; c <= 'z'; ++c, ++entry) {
      Put(r, Trom::MiniIndex + 4 * entry, {12, static_cast<uint8_t>(c), 0, static_cast<uint8_t>(entry * 5)});
    }
    Put(r, Trom::MiniIndex + 4 * entry, {0xFF, 0xFF, 0xFF, 0xFF});
    for (uint32_t i = 0; i < 64 * 40; ++i) r.Image[Trom::MiniData + i] = static_cast<uint8_t>(i * 37);
    // A 24-dot GB2312 full font at 0x200000 named by the font header.
    Put(r, Trom::FontHeader, {0xAE, 0x5F, 0x20, 0x00, 0x30, 0x00, 0x30, 0x00, 0x30, 0x00});
    Put(r, Trom::FontHeader + 126, {0x5E, 0xAF});
    for (uint32_t i = 0; i < 0x100000; ++i) r.Image[0x200000 + i] = static_cast<uint8_t>(i * 13);

    page = "CLS(0);PIC(0,0,1);";
    for (int i = 0; i < 5; ++i) page += "DS24(4," + std::to_string(4 + 26 * i) + ",'Display text line',15);";
    for (int i = 0; i < 5; ++i) page += Gbk("DS24(240," + std::to_string(4 + 26 * i) + ",'模拟显示汉字测试',2);");
    page += "MENU(0,140,200,18,16,2,20,16,0,7,2,0);MSHW;";
    for (int i = 0; i < 4; ++i) {
      const std::string a = std::to_string(220 + 10 * i), b = std::to_string(150 + 10 * i);
      page += "BOX(" + a + "," + b + ",470,265,1);BOXF(" + a + ",140," + std::to_string(230 + 10 * i) + ",150,3);";
      page += "PL(" + a + ",140,470," + b + ",4);CIR(" + b + ",200,30,5);CIRF(420,200," + std::to_string(10 + 5 * i) +
              ",6);";
    }
    for (int i = 1; i <= 7; ++i) menuPage += "MDF(" + std::to_string(i) + ",0,'Item " + std::to_string(i) + "');";
  }
};

Setup& TheSetup() {
  static Setup setup;
  return setup;
}

void BaselineConvertPicture(benchmark::State& state) {
  const Trom& rom = *TheSetup().rom;
  Surface surface(kWidth, kHeight);
  for (auto _ : state) {
    const uint8_t* p = rom.Image.data() + kPictureData;
    for (int x = 0; x < kWidth; ++x)
      for (int y = 0; y < kHeight; ++y, p += 2)
        surface.SetPixel(x, y, Tgd::ToSurfaceColour(uint32_t{p[0]} << 8 | p[1]));
    benchmark::DoNotOptimize(surface.Pixels().data());
  }
}
BENCHMARK(BaselineConvertPicture)->Unit(benchmark::kMicrosecond);

void RunPage(benchmark::State& state) {
  Setup& s = TheSetup();
  Surface surface(kWidth, kHeight);
  panelcraft::Tcmd cmd;
  cmd.Display.SetRom(s.rom.get());
  cmd.Display.ReloadFontHeader();
  cmd.Display.SetSurface(&surface);
  cmd.Display.PageSource = [&s](int) { return s.menuPage; };
  cmd.DisplayWidth = kWidth;
  cmd.DisplayHeight = kHeight;
  for (auto _ : state) {
    cmd.RunStatementList(s.page);
    benchmark::DoNotOptimize(surface.Pixels().data());
  }
}
BENCHMARK(RunPage)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return panelcraft::bench::RunWithRatios(argc, argv); }
