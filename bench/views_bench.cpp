// Building each view kind of a notebook of 20,000 notes (offscreen), and switching the
// current note in it (whose cost must not grow with the notebook).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "model/objects.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/NoteViewBuilder.h"

namespace {

using wux::MemoHolderUI;

QApplication& app() {
  static int argc = 1;
  static char name[] = "views_bench";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QApplication* a = new QApplication(argc, argv);
  return *a;
}

// Notes in groups of ten: one parent and nine children, linked by UID.
struct Book {
  std::unique_ptr<wux::MemoFileUI> doc{wux::Create<wux::MemoFileUI>(nullptr)};
  MemoHolderUI* holder;
  explicit Book(int n) {
    holder = static_cast<MemoHolderUI*>(doc->newHolder_());
    std::string actual;
    doc->addHolder_(holder, "big", actual);
    holder->putField_("FlagSameName", "\"true\"");
    for (int i = 0; i < n; ++i) {
      wux::MemoNode* note = holder->newNode_();
      note->putField_("UID", "\"U" + std::to_string(i) + "\"");
      if (i % 10) note->putField_("ParentNodeID", "\"U" + std::to_string(i - i % 10) + "\"");
      holder->addNode_(note, "note " + std::to_string(i));
    }
  }
};

void BuildView(benchmark::State& state, MemoHolderUI::Kind kind) {
  app();
  for (auto _ : state) {
    state.PauseTiming();
    auto book = std::make_unique<Book>(20000);
    QWidget panel;
    state.ResumeTiming();
    QWidget* w = makeNoteView(*book->holder, kind, &panel);
    w->show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(w);
    state.PauseTiming();
    book.reset();
    state.ResumeTiming();
  }
}

void SwitchCurrentNote(benchmark::State& state) {
  app();
  const int n = static_cast<int>(state.range(0));
  Book book(n);
  QWidget panel;
  makeNoteView(*book.holder, MemoHolderUI::Kind::Tree, &panel)->show();
  QApplication::processEvents();
  int i = 0;
  for (auto _ : state) {
    book.holder->putCurrentNode_(book.holder->getNode_(i));
    i = (i + 7919) % n;
  }
}

// Adding notes one by one to a notebook whose view is built (an import, a dated series).
void AddToBuiltView(benchmark::State& state, MemoHolderUI::Kind kind) {
  app();
  for (auto _ : state) {
    state.PauseTiming();
    auto book = std::make_unique<Book>(0);
    book->holder->buildView_(kind);
    state.ResumeTiming();
    for (int i = 0; i < 20000; ++i) book->holder->addNode_(book->holder->newNode_(), "n" + std::to_string(i));
    state.PauseTiming();
    book.reset();
    state.ResumeTiming();
  }
}

}  // namespace

BENCHMARK_CAPTURE(AddToBuiltView, CheckList, MemoHolderUI::Kind::CheckList)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AddToBuiltView, Tree, MemoHolderUI::Kind::Tree)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildView, CheckList, MemoHolderUI::Kind::CheckList)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildView, Tree, MemoHolderUI::Kind::Tree)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildView, List, MemoHolderUI::Kind::List)->Unit(benchmark::kMillisecond);
BENCHMARK(SwitchCurrentNote)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
