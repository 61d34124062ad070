// Statements per second of the interpreter. Every statement is tokenised again each
// time it runs, so this measures the tokeniser and evaluators as scripts use them.
#include <benchmark/benchmark.h>

#include "script/PoorPascal.h"

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

}  // namespace

BENCHMARK_MAIN();
