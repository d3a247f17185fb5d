// BuildImage of a project with 2 MB of pictures, the small font and a GB2312
// 24-dot full font, against filling 16 MB and reading the same file bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "device/rom.h"
#include "store/hash_table.h"
#include "support/ratio_main.h"

namespace {

namespace fs = std::filesystem;

struct Project {
  fs::path home;
  std::vector<std::pair<std::string, size_t>> files = {
      {"pic.sbin", 2 * 1048576}, {"pic.idx", 4096}, {"mini.idx", 8192}, {"mini.sbin", 300000}, {"hz24.sbin", 588816}};
  panelcraft::THashTable store;

  Project() {
    std::string pattern = (fs::temp_directory_path() / "panelcraft-bench.XXXXXX").string();
    home = mkdtemp(pattern.data());
    fs::create_directories(home / "temp");
    uint32_t x = 1;
    for (const auto& [name, size] : files) {
      std::string bytes(size, 0);
      for (char& c : bytes) c = static_cast<char>((x = x * 1664525u + 1013904223u) >> 24);
      std::ofstream(home / "temp" / name, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(size));
    }
    store.Folder = home / "temp";
    store.PutInt("hz24bf", 1);
    for (int n = 0; n < 128; ++n) store.Put("pgcn" + std::to_string(n), "CLS(0);DS24(10,10,'page',15);BOX(0,0,100,100,1);");
  }
  ~Project() { fs::remove_all(home); }
};

Project& TheProject() {
  static Project project;
  return project;
}

void BaselineFillAndRead(benchmark::State& state) {
  Project& p = TheProject();
  std::vector<uint8_t> image(panelcraft::Trom::ImageSize);
  for (auto _ : state) {
    std::memset(image.data(), 0xFF, image.size());
    size_t at = 0x100000;
    for (const auto& [name, size] : p.files) {
      const int fd = ::open((p.home / "temp" / name).c_str(), O_RDONLY);
      size_t done = 0;
      ssize_t n;
      while (done < size && (n = ::read(fd, image.data() + at + done, size - done)) > 0) done += static_cast<size_t>(n);
      ::close(fd);
      at += size;
    }
    benchmark::DoNotOptimize(image.data());
  }
}
BENCHMARK(BaselineFillAndRead)->Unit(benchmark::kMillisecond);

void BuildImage(benchmark::State& state) {
  Project& p = TheProject();
  panelcraft::Trom rom;
  rom.Workspace = p.home / "temp";
  panelcraft::Trom::BuildInput input;
  input.BaseData = p.home / "default.bin";
  input.Store = &p.store;
  for (auto _ : state) {
    const auto report = rom.BuildImage(input);
    if (!report.Ok) state.SkipWithError("build failed");
    benchmark::DoNotOptimize(rom.Image.data());
  }
}
BENCHMARK(BuildImage)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return panelcraft::bench::RunWithRatios(argc, argv); }
