// The tree view of a deep notebook against a shallow one of the same size: building it,
// and Expand All on it. A chain of notes (each the child of the one before) must cost
// about what a flat or two-level notebook costs, not the square of its depth.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "model/objects.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/NoteList.h"
#include "views/NoteViewBuilder.h"
#include "support/qt_app.h"
#include "note_book.h"

namespace {

using wux::MemoHolderUI;

QApplication& app() { return wux::test::offscreenApp(); }

enum Shape { Flat, TwoLevel, Chain };

// Note i's parent: none (flat), the first of its hundred (two levels), or note i - 1 (a
// chain).
std::function<int(int)> parents(Shape shape) {
  return [shape](int i) { return shape == Chain ? i - 1 : shape == TwoLevel && i % 100 ? i - i % 100 : -1; };
}

// Each run gets a new notebook of `shape` and a shown panel; only `timed` is measured,
// `before` readies the view untimed.
template <class Before, class Timed>
void eachRun(benchmark::State& state, Shape shape, Before before, Timed timed) {
  app();
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto book = std::make_unique<Book>(n, parents(shape));
    QWidget panel;
    panel.resize(400, 600);
    before(*book->holder, panel);
    panel.show();
    QApplication::processEvents();
    state.ResumeTiming();
    timed(*book->holder, panel);
    QApplication::processEvents();
    state.PauseTiming();
    book.reset();
    state.ResumeTiming();
  }
}

void BuildTree(benchmark::State& state, Shape shape) {
  eachRun(
      state, shape, [](MemoHolderUI&, QWidget&) {},
      [](MemoHolderUI& holder, QWidget& panel) { makeNoteView(holder, MemoHolderUI::Kind::Tree, &panel)->show(); });
}

void ExpandAllShown(benchmark::State& state, Shape shape) {
  eachRun(
      state, shape,
      [](MemoHolderUI& holder, QWidget& panel) {
        makeNoteView(holder, MemoHolderUI::Kind::Tree, &panel)->show();
        wux::ExpandAll(holder.noteList(), false);
      },
      [](MemoHolderUI& holder, QWidget&) { wux::ExpandAll(holder.noteList(), true); });
}

}  // namespace

BENCHMARK_CAPTURE(BuildTree, Flat, Flat)->Arg(20000)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildTree, Chain, Chain)->Arg(20000)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ExpandAllShown, TwoLevel, TwoLevel)->Arg(20000)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(ExpandAllShown, Chain, Chain)->Arg(20000)->Arg(100000)->Iterations(3)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
