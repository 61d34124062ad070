// A script run by Eval in the main window that walks a notebook of 20,000 notes, from
// the first to the last, reading a field of each (well under a second).
#include <benchmark/benchmark.h>

#include <QPlainTextEdit>
#include <memory>
#include <string>

#include "mainwindow/FormLog.h"
#include "mainwindow/FormMainWUXX13c.h"
#include "model/Prompter.h"
#include "support/RecordingPrompter.h"
#include "support/qt_app.h"
#include "views/FrameMemoHolder.h"
#include "views/FrameMemoNode.h"
#include "views/MemoFileUI.h"
#include "views/MemoHolderUI.h"
#include "views/qtext.h"

namespace {

using namespace wux;

const char* const kWalk =
    "VAR i, n: Integer; s: String;\r\n"
    "BEGIN\r\n"
    "  n := 0;\r\n"
    "  i := UIChangeCurrentNodeFirst;\r\n"
    "  WHILE i >= 0 DO BEGIN\r\n"
    "    s := UIGetField_('F');\r\n"
    "    IF s = 'v' THEN n := n + 1;\r\n"
    "    i := UIChangeCurrentNodeNext\r\n"
    "  END;\r\n"
    "  Print(IntToStr(n))\r\n"
    "END";

void BM_WalkNotes(benchmark::State& state) {
  test::qtApp();
  RecordingPrompter rec;
  ScopedPrompter scoped(&rec);
  for (auto _ : state) {
    state.PauseTiming();
    auto form = createForm<TFormMainWUXX13c>();
    form->newMemoFile();
    MemoHolderUI* holder = form->getCurrentHolder();
    holder->putField_("FlagSameName", "\"true\"");
    for (int i = 0; i < 20000; ++i) {
      MemoNode* n = holder->newNode_();
      n->putField_("F", "\"v\"");
      holder->addNode_(n, "note " + std::to_string(i));
    }
    form->changeCurrentNode_(static_cast<MemoNodeUI*>(holder->getFirstNode_()));
    QPlainTextEdit* memo = form->getHolderFrame()->FrameMemoNode1()->MemoNode0();
    memo->setFocus();
    memo->setPlainText(toQ(kWalk));
    memo->selectAll();
    state.ResumeTiming();
    form->commands().run("UIEval");
    state.PauseTiming();
    const StringList log = form->getFormLog()->lines();
    state.counters["notes read"] = log.count() ? std::stod(log[log.count() - 1]) : 0;
    form.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_WalkNotes)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
