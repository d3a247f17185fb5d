// A benchmark main that, after the usual report, prints for each benchmark
// its time as a ratio of the baseline measured in the same run. Benchmarks
// name their baseline with the prefix "Baseline".
#pragma once

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

namespace panelcraft::bench {

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs)
      if (run.run_type == Run::RT_Iteration) times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    ConsoleReporter::ReportRuns(runs);
  }
  void PrintRatios() const {
    const auto baseline = std::find_if(times_.begin(), times_.end(),
                                       [](const auto& t) { return t.first.rfind("Baseline", 0) == 0; });
    if (baseline == times_.end() || baseline->second <= 0) return;
    for (const auto& [name, time] : times_)
      if (name != baseline->first)
        std::printf("ratio %s / %s = %.2f\n", name.c_str(), baseline->first.c_str(), time / baseline->second);
  }

 private:
  std::map<std::string, double> times_;
};

inline int RunWithRatios(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.PrintRatios();
  benchmark::Shutdown();
  return 0;
}

}  // namespace panelcraft::bench
