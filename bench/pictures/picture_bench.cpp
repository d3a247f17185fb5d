// GeneratePictureData of one 4000 x 1000 JPEG (decode, column-wise RGB565
// conversion, both files written) against libjpeg-turbo decoding the same
// file alone.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <turbojpeg.h>

#include <filesystem>
#include <fstream>

#include "app/messages.h"
#include "pictures/picture_library.h"
#include "support/ratio_main.h"

namespace {

namespace fs = std::filesystem;

class QuietMessages : public panelcraft::UserMessages {
 public:
  void Show(const std::string&) override {}
  bool Ask(const std::string&) override { return false; }
};

struct Fixture {
  fs::path dir;
  std::string jpeg;
  Fixture() {
    std::string pattern = (fs::temp_directory_path() / "panelcraft-bench.XXXXXX").string();
    dir = mkdtemp(pattern.data());
    // A photo-like picture: smooth gradients with some noise.
    panelcraft::Bitmap picture(4000, 1000);
    uint32_t x = 1;
    for (int row = 0; row < picture.Height; ++row)
      for (int col = 0; col < picture.Width; ++col) {
        uint8_t* p = picture.At(col, row);
        x = x * 1664525u + 1013904223u;
        const int noise = static_cast<int>(x >> 28);
        p[0] = static_cast<uint8_t>((col / 16 + noise) & 0xFF);
        p[1] = static_cast<uint8_t>((row / 4 + noise) & 0xFF);
        p[2] = static_cast<uint8_t>(((col + row) / 20) & 0xFF);
      }
    jpeg = panelcraft::EncodeJpeg(picture, 90);
    fs::create_directories(dir / "pic");
    std::ofstream(dir / "pic" / "1.jpg", std::ios::binary)
        .write(jpeg.data(), static_cast<std::streamsize>(jpeg.size()));
  }
  ~Fixture() { fs::remove_all(dir); }
};

Fixture& TheFixture() {
  static Fixture fixture;
  return fixture;
}

void BaselineDecodeJpeg(benchmark::State& state) {
  const Fixture& f = TheFixture();
  tjhandle decoder = tjInitDecompress();
  std::vector<unsigned char> rgb(4000 * 1000 * 3);
  for (auto _ : state) {
    tjDecompress2(decoder, reinterpret_cast<const unsigned char*>(f.jpeg.data()), f.jpeg.size(), rgb.data(), 4000, 0,
                  1000, TJPF_RGB, 0);
    benchmark::DoNotOptimize(rgb.data());
  }
  tjDestroy(decoder);
}
BENCHMARK(BaselineDecodeJpeg)->Unit(benchmark::kMillisecond);

void GeneratePictureData(benchmark::State& state) {
  const Fixture& f = TheFixture();
  QuietMessages messages;
  panelcraft::PictureLibrary library(panelcraft::PictureLibraryKind::Project, f.dir / "pic", f.dir);
  library.RefreshList(messages);
  for (auto _ : state) library.GeneratePictureData(messages);
  if (fs::file_size(f.dir / "pic.sbin") != 8000000u) state.SkipWithError("pic.sbin has the wrong size");
}
BENCHMARK(GeneratePictureData)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return panelcraft::bench::RunWithRatios(argc, argv); }
