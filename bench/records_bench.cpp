// Loading and saving large notebooks and documents in every file form. The notebook
// is 20,000 notes (about 20 MB of ".mxh" text: fields, Japanese and ASCII lines, some
// binary content as Base64); the document holds 20 such notebooks (set WUX_BENCH_BOOKS
// to change that). zlib alone on the same bytes is timed as the yardstick of ".mhz"
// and ".maz". Throughput is in bytes of ".mxh"/".mxa" text per second; "peak_rss_MB" is
// the process's peak resident memory so far.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "support/RecordingPrompter.h"
#include "model/lists.h"
#include "model/records/MemoFile.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/textconv.h"
#include "corpus.h"

using namespace wux;
using namespace wux::bench;
namespace fs = std::filesystem;

namespace {

struct Corpus {
  std::unique_ptr<MemoFile> doc;
  std::string mxh, mhz, mxa, maz;
  long long mxhBytes = 0, docBytes = 0;
};

Corpus& corpus() {
  static Corpus c = [] {
    Corpus k;
    const int books = std::getenv("WUX_BENCH_BOOKS") ? std::atoi(std::getenv("WUX_BENCH_BOOKS")) : 20;
    k.doc = Create<MemoFile>(nullptr);
    k.doc->putFileName_(workDir() + "Doc.mxa");
    for (int b = 0; b < books; ++b) {
      MemoHolder* h = k.doc->newHolder_();
      std::string actual;
      k.doc->addHolder_(h, "Book" + std::to_string(b), actual);
      h->loaded = true;
      fillNotebook(*h, 20000, 17u + static_cast<unsigned>(b));
    }
    MemoHolder* first = k.doc->getHolder_(0);
    k.mxh = workDir() + "one.mxh";
    k.mhz = workDir() + "one.mhz";
    k.mxhBytes = first->saveToFile_(k.mxh);
    first->saveToFile_(k.mhz);
    k.mxa = workDir() + "Doc.mxa";
    k.docBytes = k.doc->saveToFile_(k.mxa);
    for (int b = 0; b < k.doc->getHolderCount_(); ++b) {
      MemoHolder* h = k.doc->getHolder_(b);
      k.docBytes += h->saveToFile_(h->getFileName_());
    }
    k.maz = workDir() + "Doc.maz";
    k.doc->saveMAZ_(k.maz);
    return k;
  }();
  return c;
}

// Saving the first notebook to `path` (".mxh" or ".mhz").
void timeSave(benchmark::State& state, const std::string& path) {
  Corpus& c = corpus();
  MemoHolder* h = c.doc->getHolder_(0);
  for (auto _ : state) benchmark::DoNotOptimize(h->saveToFile_(path));
  state.SetBytesProcessed(state.iterations() * c.mxhBytes);
  state.counters["peak_rss_MB"] = peakRssMB();
}

// Loading a notebook from `path` into a fresh notebook.
void timeLoad(benchmark::State& state, const std::string& path) {
  Corpus& c = corpus();
  for (auto _ : state) {
    std::unique_ptr<MemoHolder> h(Create<MemoHolder>(nullptr));
    StringList messages;
    if (ReadHolderFile(*h, path, messages) != 0) state.SkipWithError("read failed");
    state.PauseTiming();  // closing the notebook is not part of loading it
    h.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * c.mxhBytes);
  state.counters["peak_rss_MB"] = peakRssMB();
}

void BM_SaveMxh(benchmark::State& state) { timeSave(state, corpus().mxh); }
void BM_LoadMxh(benchmark::State& state) { timeLoad(state, corpus().mxh); }
void BM_SaveMhz(benchmark::State& state) { timeSave(state, corpus().mhz); }
void BM_LoadMhz(benchmark::State& state) { timeLoad(state, corpus().mhz); }

// The yardsticks: zlib alone on the notebook's text.
void BM_ZlibCompressOnly(benchmark::State& state) {
  Corpus& c = corpus();
  std::string text;
  platform::readFile(c.mxh, text);
  for (auto _ : state) benchmark::DoNotOptimize(ZCompress(text));
  state.SetBytesProcessed(state.iterations() * static_cast<long long>(text.size()));
}

void BM_ZlibInflateOnly(benchmark::State& state) {
  Corpus& c = corpus();
  std::string z;
  platform::readFile(c.mhz, z);
  for (auto _ : state) {
    std::string out;
    ZInflate(z, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(state.iterations() * c.mxhBytes);
}

void BM_SaveMxaWithNotebooks(benchmark::State& state) {
  Corpus& c = corpus();
  for (auto _ : state) {
    c.doc->saveToFile_(c.mxa);
    for (int b = 0; b < c.doc->getHolderCount_(); ++b) {
      MemoHolder* h = c.doc->getHolder_(b);
      h->saveToFile_(h->getFileName_());
    }
  }
  state.SetBytesProcessed(state.iterations() * c.docBytes);
  state.counters["peak_rss_MB"] = peakRssMB();
}

// Times opening a document (`open` reads it and answers it) and loading all its
// notebooks; closing it is not timed.
template <class Open>
void timeLoadDocument(benchmark::State& state, Open open) {
  Corpus& c = corpus();
  for (auto _ : state) {
    std::unique_ptr<MemoFile> doc(Create<MemoFile>(nullptr));
    StringList messages;
    if (!open(*doc, messages)) {
      state.SkipWithError("read failed");
      break;
    }
    for (int b = 0; b < doc->getHolderCount_(); ++b) LoadHolder(*doc->getHolder_(b), messages);
    state.PauseTiming();
    doc.reset();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * c.docBytes);
  state.counters["peak_rss_MB"] = peakRssMB();
}

void BM_LoadMxaWithNotebooks(benchmark::State& state) {
  const std::string& mxa = corpus().mxa;
  timeLoadDocument(state, [&](MemoFile& doc, StringList& messages) {
    return ReadDocumentFile(doc, mxa, messages) == 0;
  });
}

void BM_SaveMaz(benchmark::State& state) {
  Corpus& c = corpus();
  for (auto _ : state) benchmark::DoNotOptimize(c.doc->saveMAZ_(c.maz));
  state.SetBytesProcessed(state.iterations() * c.docBytes);
  state.counters["peak_rss_MB"] = peakRssMB();
}

void BM_LoadMaz(benchmark::State& state) {
  const std::string& maz = corpus().maz;
  const std::string dir = workDir() + "unpacked/";
  fs::create_directories(dir);
  timeLoadDocument(state, [&](MemoFile& doc, StringList& messages) {
    std::vector<std::string> written;
    // Every later round replaces the files the first one unpacked.
    UnpackArchive(maz, dir, written, messages, [](const std::string&) { return true; });
    return !written.empty() && ReadDocumentFile(doc, written.front(), messages) == 0;
  });
}

// The yardstick of ".maz": zlib alone on the archive's own (inflated) text.
void BM_ZlibCompressArchiveText(benchmark::State& state) {
  Corpus& c = corpus();
  std::string z, text;
  platform::readFile(c.maz, z);
  ZInflate(z, text);
  for (auto _ : state) benchmark::DoNotOptimize(ZCompress(text));
  state.SetBytesProcessed(state.iterations() * c.docBytes);
  state.counters["archive_text_MB"] = static_cast<double>(text.size()) / (1 << 20);
}

}  // namespace

BENCHMARK(BM_SaveMxh)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_LoadMxh)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_SaveMhz)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ZlibCompressOnly)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_LoadMhz)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_ZlibInflateOnly)->Unit(benchmark::kMillisecond)->MinTime(2);
BENCHMARK(BM_SaveMxaWithNotebooks)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LoadMxaWithNotebooks)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_SaveMaz)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_ZlibCompressArchiveText)->Unit(benchmark::kMillisecond)->Iterations(2);
BENCHMARK(BM_LoadMaz)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK_MAIN();
