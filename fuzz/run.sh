#!/usr/bin/env bash
# Builds every fuzz target with clang (libFuzzer, ASan, UBSan) and runs each for a
# bounded time: ./fuzz/run.sh [seconds per target]. A crash fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
secs="${1:-30}"
shopt -s nullglob
targets=(fuzz/*_fuzz.cpp)
[ ${#targets[@]} -eq 0 ] && exit 0
jobs=$(nproc 2>/dev/null || echo 2)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWUX_FUZZ=ON \
  -DWUX_TESTS=OFF -DWUX_BENCH=OFF -DWUX_GUI=OFF >/dev/null
cmake --build build-fuzz -j"$jobs"
for src in "${targets[@]}"; do
  name=$(basename "$src" .cpp)
  corpus="fuzz/corpus-$name"
  mkdir -p "$corpus"
  seeds="fuzz/seeds/$name"
  [ -d "$seeds" ] || seeds=""
  echo "== fuzzing $name for ${secs}s"
  log="build-fuzz/$name.log"
  artifacts="build-fuzz/artifacts-$name/"
  rm -rf "$artifacts" && mkdir -p "$artifacts"
  if ! build-fuzz/fuzz/"$name" -max_total_time="$secs" -timeout=10 -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$artifacts" "$corpus" $seeds >"$log" 2>&1; then
    # The whole report, and the input that failed in a form a log keeps, so that a
    # failure met only on another machine can be reproduced here.
    grep -Ev '^#[0-9]+[[:space:]]+(NEW|REDUCE|pulse|RELOAD)' "$log" | tail -n 120
    for a in "$artifacts"*; do
      echo "== $name failed on $(basename "$a") ($(stat -c %s "$a") bytes), base64:"
      head -c 16384 "$a" | base64
    done
    exit 1
  fi
  tail -n 15 "$log"
done
