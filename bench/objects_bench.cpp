// Adding many equally named children: every add runs the unique-name rule over the
// whole list, which is the worst case of a notebook filled from a numbered series.
#include <benchmark/benchmark.h>

#include <memory>

#include "model/objects.h"

namespace {

void BM_AddEquallyNamedChildren(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    std::unique_ptr<wux::TObjectParent> p(wux::Create<wux::TObjectParent>(nullptr));
    std::string actual;
    for (int i = 0; i < n; ++i) p->addChild_(wux::Create<wux::TObjectNamed>(p.get()), "memo", actual);
    benchmark::DoNotOptimize(actual);
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_AddEquallyNamedChildren)->Arg(100)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
