// Building each view kind of a notebook of 20,000 notes (offscreen), switching the
// current note in it, and the frame's events on it: a drop, a key move, a check-mark
// change (each well under 50 ms; none may grow with the notebook), and destroying the
// document again.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>

#include "model/objects.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/MemoNodeUI.h"
#include "views/FrameMemoHolder.h"
#include "views/NoteViewBuilder.h"
#include "views/NoteViews.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"
#include "note_book.h"

namespace {

using wux::MemoHolderUI;

QApplication& app() { return wux::test::offscreenApp(); }

// Notes in groups of ten: one parent and nine children.
struct TenBook : Book {
  explicit TenBook(int n) : Book(n, [](int i) { return i % 10 ? i - i % 10 : -1; }) {}
};

void BuildView(benchmark::State& state, MemoHolderUI::Kind kind) {
  app();
  for (auto _ : state) {
    state.PauseTiming();
    auto book = std::make_unique<TenBook>(20000);
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
  TenBook book(n);
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
    auto book = std::make_unique<TenBook>(0);
    book->holder->buildView_(kind);
    state.ResumeTiming();
    for (int i = 0; i < 20000; ++i) book->holder->addNode_(book->holder->newNode_(), "n" + std::to_string(i));
    state.PauseTiming();
    book.reset();
    state.ResumeTiming();
  }
}

// A main window that keeps the current note, as the frame needs it.
class Window : public wux::test::FakeMainWindow {
 public:
  wux::MemoNodeUI* current = nullptr;
  wux::MemoNodeUI* getCurrentNode() override { return current; }
  wux::MemoNodeUI* changeCurrentNode_(wux::MemoNodeUI* node) override {
    current = node;
    if (node) node->getParentHolder_()->putCurrentNode_(node);
    return node;
  }
};

// The frame showing a notebook of 20,000 notes in one view kind.
struct Shown {
  TenBook book{20000};
  Window window;
  wux::TFrameMemoHolder frame;
  QWidget* view = nullptr;
  explicit Shown(MemoHolderUI::Kind kind) {
    frame.setMainWindow(&window);
    frame.setHolder(book.holder);
    view = makeNoteView(*book.holder, kind, frame.PanelLeft());
    if (kind == MemoHolderUI::Kind::Tree)
      frame.attachTreeView_(view);
    else
      frame.attachCheckListBox_(view);
    book.holder->showView_();
    frame.resize(800, 600);
    frame.show();
    window.changeCurrentNode_(static_cast<wux::MemoNodeUI*>(book.holder->getNode_(0)));
    QApplication::processEvents();
  }
  wux::NoteItem* item(int i) { return book.holder->noteList().itemAt(i); }
};

// One drop each: a line of the check list to the end and back, a tree branch in front
// of another and back. Each iteration is two drops.
void DropInView(benchmark::State& state, MemoHolderUI::Kind kind) {
  app();
  Shown s(kind);
  const bool tree = kind == MemoHolderUI::Kind::Tree;
  for (auto _ : state) {
    if (tree) {
      wux::NoteItem* branch = s.item(10);  // a parent with nine children
      s.frame.TreeViewDragDrop(branch, s.item(19990));
      s.frame.TreeViewDragDrop(branch, s.item(0));
    } else {
      s.frame.CheckListBoxDragDrop(s.item(0), nullptr);
      s.frame.CheckListBoxDragDrop(s.item(19999), s.item(0));
    }
    QApplication::processEvents();
  }
}

// Down then Up in the tree: each press moves one note.
void KeyMoveInTree(benchmark::State& state) {
  app();
  Shown s(MemoHolderUI::Kind::Tree);
  s.window.changeCurrentNode_(static_cast<wux::MemoNodeUI*>(s.book.holder->getNode_(10000)));
  for (auto _ : state) {
    s.frame.stepNode(1);
    s.frame.stepNode(-1);
    QApplication::processEvents();
  }
}

// A click on a check box, on and off again.
void CheckChange(benchmark::State& state) {
  app();
  Shown s(MemoHolderUI::Kind::CheckList);
  wux::NoteItemModel* m = s.book.holder->model(MemoHolderUI::Kind::CheckList);
  const QModelIndex i = m->indexOfItem(s.item(10000));
  for (auto _ : state) {
    m->setData(i, Qt::Checked, Qt::CheckStateRole);
    m->setData(i, Qt::Unchecked, Qt::CheckStateRole);
    QApplication::processEvents();
  }
}

// Destroying a document whose notebook of `n` notes is shown (what closing it or the
// program's exit does); range(1): 0 no view, 1 a check list, 2 a tree.
void DestroyDocument(benchmark::State& state) {
  app();
  const int n = static_cast<int>(state.range(0));
  const MemoHolderUI::Kind kinds[] = {MemoHolderUI::Kind::Nodes, MemoHolderUI::Kind::CheckList,
                                      MemoHolderUI::Kind::Tree};
  const MemoHolderUI::Kind kind = kinds[state.range(1)];
  for (auto _ : state) {
    state.PauseTiming();
    auto book = std::make_unique<TenBook>(n);
    auto panel = std::make_unique<QWidget>();
    if (kind != MemoHolderUI::Kind::Nodes) makeNoteView(*book->holder, kind, panel.get())->show();
    QApplication::processEvents();
    state.ResumeTiming();
    book.reset();
    panel.reset();
  }
}

}  // namespace

BENCHMARK(DestroyDocument)->ArgsProduct({{20000, 40000}, {0, 1, 2}})->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DropInView, CheckList, MemoHolderUI::Kind::CheckList)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DropInView, Tree, MemoHolderUI::Kind::Tree)->Unit(benchmark::kMillisecond);
BENCHMARK(KeyMoveInTree)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckChange)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AddToBuiltView, CheckList, MemoHolderUI::Kind::CheckList)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(AddToBuiltView, Tree, MemoHolderUI::Kind::Tree)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildView, CheckList, MemoHolderUI::Kind::CheckList)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildView, Tree, MemoHolderUI::Kind::Tree)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BuildView, List, MemoHolderUI::Kind::List)->Unit(benchmark::kMillisecond);
BENCHMARK(SwitchCurrentNote)->Arg(2000)->Arg(20000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
