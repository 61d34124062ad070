// The limits a large file must meet. Loading and saving a notebook of 20,000 notes
// (about 20 MB of ".mxh" text) is timed against pugixml parsing the same file
// ("x_pugixml": our time over pugixml's, each of our rounds paired with one of
// pugixml's, when pugixml was found at build time), and
// the peak memory of loading it, measured in a fresh process with the tree, text and
// messages of the file still held, is given over the size of its text
// ("peak_over_text"). With WUX_BENCH_LARGE=1 the same is measured for a document of
// 400 MB (20 such notebooks, WUX_BENCH_BOOKS to change), opened from ".mxa" and from
// ".maz" with every notebook loaded; it needs about 2 GB of disk and a few minutes.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#ifdef WUX_HAVE_PUGIXML
#include <pugixml.hpp>
#endif

#include "corpus.h"
#include "model/Prompter.h"
#include "model/records/MemoFile.h"
#include "model/records/RecordFiles.h"
#include "platform/files.h"
#include "platform/paths.h"

using namespace wux;
using namespace wux::bench;

namespace {

// A value of /proc/self/status in bytes ("VmRSS", "VmHWM").
long long statusBytes(const std::string& key) {
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line))
    if (line.compare(0, key.size() + 1, key + ":") == 0) return std::atoll(line.c_str() + key.size() + 1) * 1024;
  return 0;
}

// ---- the child process: one load, then its peak memory over what it had before ----

bool openDocument(MemoFile& doc, const std::string& path, StringList& messages) {
  std::string mxa = path;
  if (platform::extOf(path) == ".maz") {
    std::vector<std::string> written;
    const std::string dir = platform::dirOf(path) + "unpacked/";
    fs::create_directories(dir);
    // Replaces what an earlier round unpacked.
    if (UnpackArchive(path, dir, written, messages, [](const std::string&) { return true; }) <= 0) return false;
    mxa = written.front();
  }
  if (ReadDocumentFile(doc, mxa, messages) != 0) return false;
  for (int b = 0; b < doc.getHolderCount_(); ++b)
    if (LoadHolder(*doc.getHolder_(b), messages) != 0) return false;
  return true;
}

int childMain(const std::string& kind, const std::string& path) {
  const long long before = statusBytes("VmRSS");
  bool ok = false;
  if (kind == "notebook") {
    std::unique_ptr<MemoHolder> h(Create<MemoHolder>(nullptr));
    StringList messages;
    ok = ReadHolderFile(*h, path, messages) == 0;
    std::printf("peak %lld\n", statusBytes("VmHWM") - before);
  } else {
    std::unique_ptr<MemoFile> doc(Create<MemoFile>(nullptr));
    StringList messages;
    ok = openDocument(*doc, path, messages);
    std::printf("peak %lld\n", statusBytes("VmHWM") - before);
  }
  return ok ? 0 : 1;
}

// Runs this program on `path` in a fresh process; its peak memory in bytes, -1 on failure.
long long peakOfLoad(const std::string& kind, const std::string& path) {
  const std::string cmd = "/proc/" + std::to_string(::getpid()) + "/exe --peak " + kind + " '" + path + "'";
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return -1;
  long long peak = -1;
  if (std::fscanf(p, "peak %lld", &peak) != 1) peak = -1;
  return ::pclose(p) == 0 ? peak : -1;
}

// ---- the notebook ----

struct Notebook {
  std::unique_ptr<MemoHolder> holder;
  std::string mxh;
  long long bytes = 0;
};

Notebook& notebook() {
  static Notebook n = [] {
    Notebook k;
    k.holder = Create<MemoHolder>(nullptr);
    fillNotebook(*k.holder, 20000, 17u);
    k.mxh = workDir() + "one.mxh";
    k.bytes = k.holder->saveToFile_(k.mxh);
    return k;
  }();
  return n;
}

// One pugixml parse of the notebook file (the tree freed after it), in seconds; 0
// without pugixml. The file benchmarks time one beside each of their own rounds, with
// timing paused, so that the ratio compares runs made under the same load of the
// machine: a yardstick timed once, apart, made it swing by half on a busy machine.
double pugixmlRound() {
#ifdef WUX_HAVE_PUGIXML
  auto t0 = std::chrono::steady_clock::now();
  {
    pugi::xml_document doc;
    if (!doc.load_file(notebook().mxh.c_str())) return 0.0;
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
#else
  return 0;
#endif
}

void reportAgainstPugixml(benchmark::State& state, double seconds, double pugixml) {
  if (pugixml > 0) state.counters["x_pugixml"] = seconds / pugixml;
}

#ifdef WUX_HAVE_PUGIXML
void BM_PugixmlParseNotebook(benchmark::State& state) {
  for (auto _ : state) {
    pugi::xml_document doc;
    if (!doc.load_file(notebook().mxh.c_str())) state.SkipWithError("pugixml could not parse the file");
    benchmark::DoNotOptimize(doc);
  }
  state.SetBytesProcessed(state.iterations() * notebook().bytes);
}
BENCHMARK(BM_PugixmlParseNotebook)->Unit(benchmark::kMillisecond)->MinTime(2);
#endif

void BM_LoadNotebook(benchmark::State& state) {
  double total = 0, pugixml = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    std::unique_ptr<MemoHolder> h(Create<MemoHolder>(nullptr));
    StringList messages;
    if (ReadHolderFile(*h, notebook().mxh, messages) != 0) state.SkipWithError("read failed");
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.PauseTiming();  // closing the notebook is not part of loading it
    h.reset();
    pugixml += pugixmlRound();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * notebook().bytes);
  reportAgainstPugixml(state, total, pugixml);
}
BENCHMARK(BM_LoadNotebook)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_SaveNotebook(benchmark::State& state) {
  const std::string path = workDir() + "saved.mxh";
  double total = 0, pugixml = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    if (notebook().holder->saveToFile_(path) <= 0) state.SkipWithError("save failed");
    total += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    state.PauseTiming();
    pugixml += pugixmlRound();
    state.ResumeTiming();
  }
  state.SetBytesProcessed(state.iterations() * notebook().bytes);
  reportAgainstPugixml(state, total, pugixml);
}
BENCHMARK(BM_SaveNotebook)->Unit(benchmark::kMillisecond)->MinTime(2);

void BM_PeakMemoryLoadingNotebook(benchmark::State& state) {
  long long peak = -1;
  for (auto _ : state) peak = peakOfLoad("notebook", notebook().mxh);
  if (peak < 0) state.SkipWithError("the measuring process failed");
  state.counters["text_MB"] = static_cast<double>(notebook().bytes) / (1 << 20);
  state.counters["peak_MB"] = static_cast<double>(peak) / (1 << 20);
  state.counters["peak_over_text"] = static_cast<double>(peak) / static_cast<double>(notebook().bytes);
}
BENCHMARK(BM_PeakMemoryLoadingNotebook)->Unit(benchmark::kMillisecond)->Iterations(1);

// ---- the 400 MB document, on demand ----

struct Document {
  std::string mxa, maz;
  long long bytes = 0;
};

// Written one notebook at a time, so that making it never holds more than one.
Document& document() {
  static Document d = [] {
    Document k;
    const int books = std::getenv("WUX_BENCH_BOOKS") ? std::atoi(std::getenv("WUX_BENCH_BOOKS")) : 20;
    std::unique_ptr<MemoFile> doc(Create<MemoFile>(nullptr));
    k.mxa = workDir() + "Large.mxa";
    doc->putFileName_(k.mxa);
    for (int b = 0; b < books; ++b) {
      MemoHolder* h = doc->newHolder_();
      std::string actual;
      doc->addHolder_(h, "Book" + std::to_string(b), actual);
      fillNotebook(*h, 20000, 17u + static_cast<unsigned>(b));
      k.bytes += h->saveToFile_(h->getFileName_());
      h->clear_();  // the notes go; the reference stays
    }
    k.bytes += doc->saveToFile_(k.mxa);
    // The archive loads every notebook from its file, one after the other.
    std::unique_ptr<MemoFile> reread(Create<MemoFile>(nullptr));
    StringList messages;
    ReadDocumentFile(*reread, k.mxa, messages);
    k.maz = workDir() + "Large.maz";
    reread->saveMAZ_(k.maz);
    return k;
  }();
  return d;
}

void peakOfDocument(benchmark::State& state, const std::string& path) {
  long long peak = -1;
  for (auto _ : state) peak = peakOfLoad("document", path);
  if (peak < 0) state.SkipWithError("the measuring process failed");
  state.counters["text_MB"] = static_cast<double>(document().bytes) / (1 << 20);
  state.counters["peak_MB"] = static_cast<double>(peak) / (1 << 20);
  state.counters["peak_over_text"] = static_cast<double>(peak) / static_cast<double>(document().bytes);
}

void BM_PeakMemoryOpeningLargeMxa(benchmark::State& state) { peakOfDocument(state, document().mxa); }
void BM_PeakMemoryOpeningLargeMaz(benchmark::State& state) { peakOfDocument(state, document().maz); }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--peak") return childMain(argv[2], argv[3]);
  if (std::getenv("WUX_BENCH_LARGE")) {
    benchmark::RegisterBenchmark("BM_PeakMemoryOpeningLargeMxa", BM_PeakMemoryOpeningLargeMxa)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
    benchmark::RegisterBenchmark("BM_PeakMemoryOpeningLargeMaz", BM_PeakMemoryOpeningLargeMaz)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1);
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
