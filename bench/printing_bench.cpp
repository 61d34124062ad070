// Laying out 100,000 lines of Japanese text (about 5 MB) into pages, and printing 500
// lines into a PDF, both with the real font measurements (offscreen).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "model/text/StringList.h"
#include "platform/textconv.h"
#include "printing/StringsPrinter.h"
#include "support/qt_app.h"

namespace {

QApplication& app() { return wux::test::offscreenApp(); }

wux::StringList japaneseLines(int n) {
  const std::string text = wux::sj("日本語のテキストを印刷する速さを測るための行です。") + " abc ";
  wux::StringList lines;
  lines.reserve(n);
  for (int i = 0; i < n; ++i) lines.add(text + std::to_string(i));
  return lines;
}

std::string pdfPath() { return "/tmp/wux_printing_bench_" + std::to_string(getpid()) + ".pdf"; }

void BM_Layout100kLines(benchmark::State& state) {
  app();
  const wux::StringList lines = japaneseLines(100000);
  wux::TStringsPrinter printer;
  printer.setShowProgress(false);
  printer.setPdfOutput(pdfPath());
  printer.setLineNumber(true);
  printer.setColumnCount(2);
  std::vector<wux::LaidOutPage> pages;
  for (auto _ : state) {
    printer.RenderPages(lines, pages, "bench");
    benchmark::DoNotOptimize(pages.size());
  }
  state.counters["pages"] = static_cast<double>(pages.size());
}
BENCHMARK(BM_Layout100kLines)->Unit(benchmark::kMillisecond);

void BM_Print500LinesToPdf(benchmark::State& state) {
  app();
  const wux::StringList lines = japaneseLines(500);
  wux::TStringsPrinter printer;
  printer.setShowProgress(false);
  printer.setPdfOutput(pdfPath());
  printer.setLineNumber(true);
  for (auto _ : state) benchmark::DoNotOptimize(printer.Print(lines));
  std::remove(pdfPath().c_str());
}
BENCHMARK(BM_Print500LinesToPdf)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
