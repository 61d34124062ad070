// A huge grep in the search window (offscreen): 20,000 notes of 40 lines, the keyword
// "a", about 800,000 hit lines. The time is the Grep button's, up to the first paint of
// the result; "grow_MB" is how much the process grew for it, "text_MB" the result's
// text (its lines joined), "grow_x_text" the one over the other. Goals: well under 2 s,
// and the growth at most twice the text. The Scan case lists every note (20,000 lines)
// on the List page; Replace lists one line per changed line (about 800,000).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>

#include "dialogs/FormScanHolders.h"
#include "support/RecordingPrompter.h"
#include "support/fake_main_window.h"
#include "support/qt_app.h"

namespace {

QApplication& app() { return wux::test::offscreenApp(); }

double rssMB() {
  long pages = 0, resident = 0;
  if (FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(f);
  }
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// One notebook of 20,000 notes, each 40 lines of 11 words from the radio alphabet.
wux::test::FakeMainWindow& window() {
  static wux::test::FakeMainWindow* w = [] {
    auto* m = new wux::test::FakeMainWindow;
    m->addNotebook("Big");
    const char* words[] = {"alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel", "india",
                           "juliet", "kilo", "lima", "mike", "november", "oscar", "papa", "quebec", "romeo",
                           "sierra", "tango", "uniform", "victor", "whiskey", "xray", "yankee", "zulu"};
    std::mt19937 random(7);
    for (int i = 0; i < 20000; ++i) {
      wux::MemoNodeUI* n = m->addNote("note " + std::to_string(i));
      std::string text;
      for (int line = 0; line < 40; ++line) {
        for (int word = 0; word < 11; ++word) {
          if (word) text += ' ';
          text += words[random() % 26];
        }
        text += "\r\n";
      }
      n->body().setText(text);
    }
    return m;
  }();
  return *w;
}

template <class Lines>
double textMB(const Lines& lines) {
  double bytes = 0;
  for (const auto& line : lines) bytes += static_cast<double>(line.text.size() + 1);
  return bytes / (1024.0 * 1024.0);
}

template <class Run, class Lines>
void searchOnce(benchmark::State& state, const char* keyword, Run run, Lines lines) {
  app();
  wux::RecordingPrompter prompter;
  wux::ScopedPrompter scoped{&prompter};
  wux::test::FakeMainWindow& w = window();
  for (auto _ : state) {
    auto f = std::make_unique<wux::TFormScanHolders>();
    f->setMainWindow(&w);
    f->update();
    f->selectAll();
    f->ComboBox1->setEditText(keyword);
    f->show();
    QApplication::processEvents();
    const double before = rssMB();
    const auto start = std::chrono::steady_clock::now();
    run(*f);
    QApplication::processEvents();
    f->repaint();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetIterationTime(seconds);
    const double grow = rssMB() - before;
    const double text = textMB(lines(*f));
    state.counters["lines"] = static_cast<double>(lines(*f).size());
    state.counters["text_MB"] = text;
    state.counters["grow_MB"] = grow;
    state.counters["grow_x_text"] = text > 0 ? grow / text : 0;
  }
}

void GrepFillsTheGrepPage(benchmark::State& state) {
  searchOnce(
      state, "a", [](wux::TFormScanHolders& f) { f.grep(); },
      [](wux::TFormScanHolders& f) -> decltype(auto) { return f.grepLines(); });
}
BENCHMARK(GrepFillsTheGrepPage)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void ScanFillsTheList(benchmark::State& state) {
  searchOnce(
      state, "a", [](wux::TFormScanHolders& f) { f.scan(); },
      [](wux::TFormScanHolders& f) -> decltype(auto) { return f.listLines(); });
}
BENCHMARK(ScanFillsTheList)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Last: it changes the notes (every "a" becomes "A").
void ReplaceFillsTheList(benchmark::State& state) {
  searchOnce(
      state, "a",
      [](wux::TFormScanHolders& f) {
        f.CheckBox_Ignore->setChecked(false);
        f.ComboBox2->setEditText("A");
        f.replace();
      },
      [](wux::TFormScanHolders& f) -> decltype(auto) { return f.listLines(); });
}
BENCHMARK(ReplaceFillsTheList)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
