// Adding many equally named children, which is the worst case of the unique-name rule:
// in a bare container, and as a notebook file of 40,000 notes of one name (about
// 1.3 MB) and a document of 5,000 notebooks of one name are loaded. Adding notes to a
// notebook one by one and destroying it again must both stay linear.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "corpus.h"
#include "model/records/MemoFile.h"
#include "model/records/MemoHolder.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "platform/paths.h"

namespace {

void BM_AddEquallyNamedChildren(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    std::unique_ptr<wux::TObjectParent> p(wux::Create<wux::TObjectParent>(nullptr));
    std::string actual;
    for (int i = 0; i < n; ++i) p->addChild_(wux::Create<wux::TObjectNamed>(p.get()).release(), "memo", actual);
    benchmark::DoNotOptimize(actual);
  }
  state.SetComplexityN(n);
}
BENCHMARK(BM_AddEquallyNamedChildren)->Arg(100)->Arg(1000)->Arg(3000)->Arg(40000)->Unit(benchmark::kMillisecond);

// A file of `n` elements `element` named `name` inside `top`, written once.
std::string equallyNamedFile(const char* file, const char* top, const char* element, int n) {
  std::string path = wux::bench::workDir() + file;
  std::string text = "<?xml version=\"1.0\" encoding=\"Shift_JIS\" ?>\r\n<" + std::string(top) + " name=\"x\">\r\n";
  for (int i = 0; i < n; ++i) text += "  <" + std::string(element) + " name=\"note\">\r\n  </" + element + ">\r\n";
  text += "</" + std::string(top) + ">\r\n";
  wux::platform::writeFileAtomic(path, text);
  return path;
}

void BM_LoadNotebookOfEquallyNamedNotes(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  static const std::string path = equallyNamedFile("wux-bench-equal.mxh", "Holder", "Record", n);
  for (auto _ : state) {
    std::unique_ptr<wux::MemoHolder> h(wux::Create<wux::MemoHolder>(nullptr));
    wux::StringList messages;
    if (wux::ReadHolderFile(*h, path, messages) != 0 || h->getNodeCount_() != n) state.SkipWithError("read failed");
    state.PauseTiming();
    h.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadNotebookOfEquallyNamedNotes)->Arg(40000)->Unit(benchmark::kMillisecond);

void BM_LoadDocumentOfEquallyNamedNotebooks(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  static const std::string path = equallyNamedFile("wux-bench-equal.mxa", "File", "Holder", n);
  for (auto _ : state) {
    std::unique_ptr<wux::MemoFile> doc(wux::Create<wux::MemoFile>(nullptr));
    wux::StringList messages;
    if (wux::ReadDocumentFile(*doc, path, messages) != 0 || doc->getHolderCount_() != n)
      state.SkipWithError("read failed");
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_LoadDocumentOfEquallyNamedNotebooks)->Arg(5000)->Unit(benchmark::kMillisecond);

// A name without digits: a clash with it is numbered after the line it clashes with.
std::string letters(int i) {
  std::string s = "note ";
  do {
    s += static_cast<char>('a' + i % 26);
    i /= 26;
  } while (i > 0);
  return s;
}

// A notebook of `n` notes added one by one, as a script or an import adds them; every
// fourth name is taken already. `moved`: a note is moved first, as a user does before
// an import, so that the lines are no longer in the order they were added in.
std::unique_ptr<wux::MemoHolder> notebookOf(int n, bool moved = false) {
  std::unique_ptr<wux::MemoHolder> h(wux::Create<wux::MemoHolder>(nullptr));
  if (moved) {
    h->addNode_(h->newNode_(), "first");
    h->addNode_(h->newNode_(), "second");
    h->nodes()->moveChildUp_(h->getNode_(1));
  }
  for (int i = 0; i < n; ++i) h->addNode_(h->newNode_(), letters(i % 4 == 3 ? i - 1 : i));
  return h;
}

// range(1): 1 when a note was moved before the adds.
void BM_AddNotesToNotebook(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    std::unique_ptr<wux::MemoHolder> h = notebookOf(n, state.range(1) != 0);
    if (h->getNodeCount_() < n) state.SkipWithError("notes lost");
    state.PauseTiming();
    h.reset();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AddNotesToNotebook)->ArgsProduct({{20000, 40000}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_DestroyNotebook(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<wux::MemoHolder> h = notebookOf(n);
    state.ResumeTiming();
    h.reset();
  }
}
BENCHMARK(BM_DestroyNotebook)->Arg(20000)->Arg(40000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
