// Statement text work on a full page (1023 bytes) against copying that page:
// splitting it into statements, laying it out one statement per line,
// converting it to C, and the catalogue lookups the interpreter makes.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "app/text.h"
#include "lang/c_code.h"
#include "lang/cmd.h"
#include "pages/statement_lines.h"
#include "support/ratio_main.h"

namespace panelcraft {
namespace {

std::string FullPage() {
  std::string page;
  const std::string statements[] = {"BOX(0,0,100,100,1);", Gbk("DS16(10,10,'中文 a;b',15);"), "PS(1,1,1);",
                                    "LABL(24,20,10,200,'it\\'s',15,1);", "Q128;"};
  for (size_t i = 0; page.size() + 40 < 1023; ++i) page += statements[i % 5];
  return page;
}

void BaselineCopyPage(benchmark::State& state) {
  const std::string page = FullPage();
  for (auto _ : state) {
    std::string copy = page;
    benchmark::DoNotOptimize(copy.data());
  }
}
BENCHMARK(BaselineCopyPage);

void SplitPage(benchmark::State& state) {
  const std::string page = FullPage();
  for (auto _ : state) {
    size_t bytes = 0;
    SplitStatementList(page, [&](const std::string& s) { bytes += s.size(); });
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(SplitPage);

void FormatPage(benchmark::State& state) {
  const std::string page = FullPage();
  for (auto _ : state) benchmark::DoNotOptimize(FormatStatementLines(page));
}
BENCHMARK(FormatPage);

void ConvertPageToC(benchmark::State& state) {
  const std::string page = FormatStatementLines(FullPage());
  for (auto _ : state) benchmark::DoNotOptimize(ConvertToC(page, CCodePlan::PlainC, ChineseMode::HexEscape, false));
}
BENCHMARK(ConvertPageToC);

// Name and box kind of every statement of the page, as the interpreter asks.
void NamesAndBoxKindsOfPage(benchmark::State& state) {
  const Tcmd cmd;
  std::vector<std::string> statements;
  SplitStatementList(FullPage(), [&](const std::string& s) { statements.push_back(s); });
  for (auto _ : state) {
    int sum = 0;
    for (const std::string& s : statements) sum += cmd.BoxKind(StatementName(s));
    benchmark::DoNotOptimize(sum);
  }
}
BENCHMARK(NamesAndBoxKindsOfPage);

}  // namespace
}  // namespace panelcraft

int main(int argc, char** argv) { return panelcraft::bench::RunWithRatios(argc, argv); }
