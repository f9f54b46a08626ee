#!/usr/bin/env bash
# Builds the benchmarks in an optimised native tree without sanitizers and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/bench/build.ninja ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVELO_BENCH=ON -DTAVELO_TESTS=OFF >/dev/null
fi
cmake --build build/bench
for b in build/bench/bench/*_bench; do
  "$b"
done
