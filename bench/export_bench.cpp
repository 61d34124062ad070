// Exporting a 20,000-note notebook as HTML: the notebook page and a month calendar,
// built and written as the export commands do. The target is well under 2 s each.
#include <benchmark/benchmark.h>

#include <memory>

#include "corpus.h"
#include "model/htmlgen.h"
#include "model/records/MemoFile.h"
#include "model/text/StringList.h"
#include "platform/files.h"

namespace wux::bench {
namespace {

constexpr int kNotes = 20000;

MemoHolder& notebook() {
  static std::unique_ptr<MemoFile> doc;
  static MemoHolder* h = [] {
    doc = Create<MemoFile>(nullptr);
    doc->putFileName_(workDir() + "Doc.mxa");
    MemoHolder* holder = doc->newHolder_();
    std::string actual;
    doc->addHolder_(holder, "Book", actual);
    holder->loaded = true;
    fillNotebook(*holder, kNotes, 30);
    return holder;
  }();
  return *h;
}

void BM_ExportNotebookPage(benchmark::State& state) {
  MemoHolder& h = notebook();
  const std::string file = workDir() + "notebook.html";
  std::size_t bytes = 0;
  for (auto _ : state) {
    StringList page;
    exportHTML_(h, page);
    const std::string text = page.text();
    if (!platform::writeFileAtomic(file, text)) state.SkipWithError("write failed");
    bytes = text.size();
  }
  state.counters["page_MB"] = bytes / 1e6;
}

void BM_ExportMonthCalendar(benchmark::State& state) {
  MemoHolder& h = notebook();
  const std::string file = workDir() + "calendar.html";
  for (auto _ : state) {
    StringList page;
    exportCalendarHTML_(h, page, DateTime{2026, 12, 6});
    if (!platform::writeFileAtomic(file, page.text())) state.SkipWithError("write failed");
  }
}

BENCHMARK(BM_ExportNotebookPage)->Unit(benchmark::kMillisecond)->MinTime(1);
BENCHMARK(BM_ExportMonthCalendar)->Unit(benchmark::kMillisecond)->MinTime(1);

}  // namespace
}  // namespace wux::bench

BENCHMARK_MAIN();
