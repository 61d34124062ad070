// Ordering commands on a check list of 20,000 notes: sorting, reversing, and moving the
// 10,000 marked notes to another notebook (each well under half a second).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "dialogs/FormSelectHolder.h"
#include "mainwindow/commands/Commands.h"
#include "model/Prompter.h"
#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "views/MemoHolderUI.h"

namespace {

using wux::MemoHolderUI;

struct Desk {
  wux::test::FakeMainWindow w;
  MemoHolderUI* source = nullptr;
  explicit Desk(int n) {
    w.addNotebook("target");
    w.holder->buildView_(MemoHolderUI::Kind::CheckList);
    source = w.addNotebook("source");
    source->putField_("FlagSameName", "\"true\"");
    source->buildView_(MemoHolderUI::Kind::CheckList);
    for (int i = 0; i < n; ++i) {
      // Names out of order, every other note marked.
      wux::MemoNodeUI* note = w.addNote("note " + std::to_string((i * 7919) % n));
      note->putMarked_(i % 2 == 0);
    }
    wux::registerNoteOrderCommands(w.table, w, std::make_shared<wux::HolderChooser>());
  }
};

void Run(benchmark::State& state, const char* command, const wux::CommandArgs& args) {
  wux::RecordingPrompter rec;
  wux::ScopedPrompter scoped(&rec);
  for (auto _ : state) {
    state.PauseTiming();
    auto desk = std::make_unique<Desk>(20000);
    state.ResumeTiming();
    benchmark::DoNotOptimize(desk->w.table.run(command, args));
    state.PauseTiming();
    state.counters["target notes"] = desk->w.getMemoFile()->findHolderByName_("target")->getNodeCount_();
    desk.reset();
    state.ResumeTiming();
  }
}

void BM_Sort(benchmark::State& s) { Run(s, "UISortMemoHolder", {}); }
void BM_Reverse(benchmark::State& s) { Run(s, "UIReverseMemoHolder", {}); }
void BM_MoveMarks(benchmark::State& s) { Run(s, "UIMoveMarksTo", {"target"}); }
BENCHMARK(BM_Sort)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_Reverse)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_MoveMarks)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
