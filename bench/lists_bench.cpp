// Throughput of the compressed list format (notebooks and archives of many megabytes)
// and of the Base64 coding of note content.
#include <benchmark/benchmark.h>

#include <string>

#include "model/content.h"
#include "model/jcode.h"
#include "model/lists.h"

namespace {

// About 20 MB of note-like text lines, mixed ASCII and Shift_JIS.
const std::string& listText() {
  static const std::string text = [] {
    wux::StringList l;
    std::size_t size = 0;
    for (unsigned i = 0; size < 20u * 1024 * 1024; ++i) {
      std::string line = "Memo line " + std::to_string(i) + " \x88\x9F\x82\xA0 field=\"" +
                         std::to_string(i * 2654435761u) + "\" some ordinary words of a note";
      size += line.size() + 2;
      l.add(std::move(line));
    }
    return l.text();
  }();
  return text;
}

std::string binary(std::size_t n) {
  std::string s(n, '\0');
  unsigned x = 12345;
  for (auto& c : s) {
    x = x * 1103515245u + 12345u;
    c = static_cast<char>(x >> 16);
  }
  return s;
}

void BM_Compress20MB(benchmark::State& state) {
  const std::string& text = listText();
  for (auto _ : state) benchmark::DoNotOptimize(wux::ZCompress(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Compress20MB)->Unit(benchmark::kMillisecond);

void BM_Inflate20MB(benchmark::State& state) {
  const std::string& text = listText();
  std::string z = wux::ZCompress(text);
  std::string out;
  for (auto _ : state) {
    wux::ZInflate(z, out);
    benchmark::DoNotOptimize(out);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_Inflate20MB)->Unit(benchmark::kMillisecond);

void BM_Base64EncodeLines10MB(benchmark::State& state) {
  std::string data = binary(10u * 1024 * 1024);
  for (auto _ : state) {
    wux::StringList lines;
    wux::TContent::encodeBase64_(&data, lines);
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_Base64EncodeLines10MB)->Unit(benchmark::kMillisecond);

void BM_Base64DecodeLines10MB(benchmark::State& state) {
  std::string data = binary(10u * 1024 * 1024);
  wux::StringList lines;
  wux::TContent::encodeBase64_(&data, lines);
  std::string stream;
  for (auto _ : state) {
    wux::TContent::decodeBase64_(&stream, lines);
    benchmark::DoNotOptimize(stream);
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(data.size()));
}
BENCHMARK(BM_Base64DecodeLines10MB)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
