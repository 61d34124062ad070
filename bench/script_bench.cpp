// Statements per second of the interpreter. Every statement is tokenised again each
// time it runs, so this measures the tokeniser and evaluators as scripts use them.
#include <benchmark/benchmark.h>

#include "script/PoorPascal.h"
#include "support/FakeDesktop.h"

namespace {

void BM_AdditionExpressions(benchmark::State& state) {
  wux::TPoorPascal pp;
  wux::FakeDesktop desk;
  pp.setDesktop(&desk);
  pp.AddIntConst("X", false, 41);
  const std::int64_t n = 1000000;
  for (auto _ : state) {
    std::int64_t sum = 0;
    for (std::int64_t i = 0; i < n; ++i) sum += pp.EvalInt("X + 1");
    benchmark::DoNotOptimize(sum);
  }
  state.counters["expressions/s"] = benchmark::Counter(static_cast<double>(n) * state.iterations(),
                                                       benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AdditionExpressions)->Unit(benchmark::kMillisecond);

// One million rounds of a FOR loop whose body is one assignment with an addition.
void BM_MillionStatements(benchmark::State& state) {
  wux::TPoorPascal pp;
  wux::FakeDesktop desk;
  pp.setDesktop(&desk);
  pp.Source.setText("VAR i, x: Integer;\nBEGIN\n  FOR i := 1 TO 1000000 DO x := x + 1\nEND.");
  for (auto _ : state) pp.Run();
  state.counters["statements/s"] = benchmark::Counter(1e6 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MillionStatements)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
