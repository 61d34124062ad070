// Speed of the interpreter on the loops people compare it with, and on the patterns
// that used to grow faster than linear (string building, declarations, ELSE IF chains).
// When python3 is installed, the two loops also run there and the ratios are printed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include <unistd.h>

#include "script/PoorPascal.h"
#include "support/FakeDesktop.h"

namespace {

const char* const kForLoop = "VAR i, x: Integer;\nBEGIN\n  FOR i := 1 TO 10000000 DO x := x + 1\nEND.";
const char* const kForLoopPy = "x = 0\nfor i in range(1, 10000001):\n    x = x + 1\n";
const char* const kWhileLoop =
    "VAR i, x: Integer;\nBEGIN\n  WHILE i < 10000000 DO BEGIN x := x + 1; i := i + 1 END\nEND.";
const char* const kWhileLoopPy = "i = 0\nx = 0\nwhile i < 10000000:\n    x = x + 1\n    i = i + 1\n";

struct Interp {
  wux::TPoorPascal pp;
  wux::FakeDesktop desk;
  explicit Interp(const std::string& source) {
    pp.setDesktop(&desk);
    pp.Source.setText(source);
  }
};

double secondsOf(const std::string& source) {
  Interp in(source);
  auto t0 = std::chrono::steady_clock::now();
  in.pp.Run();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

void runProgram(benchmark::State& state, const std::string& source) {
  Interp in(source);
  for (auto _ : state) in.pp.Run();
}

void BM_ForLoop10M(benchmark::State& state) { runProgram(state, kForLoop); }
BENCHMARK(BM_ForLoop10M)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_WhileLoop10M(benchmark::State& state) { runProgram(state, kWhileLoop); }
BENCHMARK(BM_WhileLoop10M)->Unit(benchmark::kMillisecond)->Iterations(1);

// s := s + IntToStr(i) + ',' over 200,000 rounds.
void BM_StringAppend200k(benchmark::State& state) {
  runProgram(state,
             "VAR i: Integer; s: String;\nBEGIN\n  FOR i := 1 TO 200000 DO s := s + IntToStr(i) + ','\nEND.");
}
BENCHMARK(BM_StringAppend200k)->Unit(benchmark::kMillisecond);

// 100,000 names in one VAR section.
void BM_Declare100k(benchmark::State& state) {
  std::string src = "VAR ";
  for (int i = 0; i < 100000; ++i) src += "v" + std::to_string((i * 7919) % 100000) + (i % 10 == 9 ? ": Integer;\n" : ", ");
  runProgram(state, src + "BEGIN END.");
}
BENCHMARK(BM_Declare100k)->Unit(benchmark::kMillisecond);

// A chain of 10,000 ELSE IF arms, the last one taken.
void BM_ElseIfChain10k(benchmark::State& state) {
  std::string src = "VAR x: Integer;\nBEGIN\n  x := 9999;\n";
  for (int i = 0; i < 10000; ++i) src += (i ? "  ELSE IF x = " : "  IF x = ") + std::to_string(i) + " THEN x := 0\n";
  runProgram(state, src + "END.");
}
BENCHMARK(BM_ElseIfChain10k)->Unit(benchmark::kMillisecond);

// Seconds python3 takes for `loop` at module level, measured inside python3; < 0 when
// python3 is not there.
double pythonSeconds(const std::string& loop) {
  std::string code = "import time\nt0 = time.perf_counter()\n" + loop + "print(time.perf_counter() - t0)\n";
  std::unique_ptr<FILE, int (*)(FILE*)> f(popen("python3 - 2>/dev/null", "w"), pclose);
  if (!f) return -1;
  // python3 reads the program from its standard input; its answer goes to a file.
  const std::string out = "/tmp/wux-script-bench-" + std::to_string(::getpid());
  code = "import sys\nsys.stdout = open('" + out + "', 'w')\n" + code;
  std::fwrite(code.data(), 1, code.size(), f.get());
  f.reset();  // waits for python3 to finish
  double s = -1;
  if (FILE* r = std::fopen(out.c_str(), "r")) {
    if (std::fscanf(r, "%lf", &s) != 1) s = -1;
    std::fclose(r);
    std::remove(out.c_str());
  }
  return s;
}

void compareWithPython(const char* what, const std::string& ours, const std::string& theirs) {
  const double py = pythonSeconds(theirs);
  if (py <= 0) {
    std::printf("%s: python3 not found, no comparison\n", what);
    return;
  }
  const double us = secondsOf(ours);
  std::printf("%s: %.3f s here, %.3f s in python3: %.2fx python3's time\n", what, us, py, us / py);
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  compareWithPython("FOR loop, 10M x := x + 1", kForLoop, kForLoopPy);
  compareWithPython("WHILE loop, 10M rounds of two statements", kWhileLoop, kWhileLoopPy);
  return 0;
}
