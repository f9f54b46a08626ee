#!/usr/bin/env bash
# Builds the benchmarks in an optimised native tree without sanitizers and runs them; then
# the benchmarks that need the platform, from the Windows tree this machine runs
# (scripts/wine-env.sh), under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/bench/build.ninja ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVELO_BENCH=ON -DTAVELO_TESTS=OFF >/dev/null
fi
cmake --build build/bench
for b in build/bench/bench/*_bench; do
  "$b"
done

# The Windows tree needs the native tree's tools: the full build makes both when it is missing.
source scripts/wine-env.sh
if [ -f "$TAVELO_WIN_TREE/build.ninja" ]; then
  cmake --build build/host --target formc assetgen >/dev/null
  cmake --build "$TAVELO_WIN_TREE" --target imagelist_bench controls_bench memo_bench editor_bench >/dev/null
else
  bash scripts/build.sh >/dev/null
fi
tavelo_wine_session
wine "$TAVELO_WIN_TREE/bench/imagelist_bench.exe" "$TAVELO_WIN_TREE/assets/toolbar.imagelist" </dev/null
wine "$TAVELO_WIN_TREE/bench/controls_bench.exe" </dev/null
wine "$TAVELO_WIN_TREE/bench/memo_bench.exe" </dev/null
wine "$TAVELO_WIN_TREE/bench/editor_bench.exe" </dev/null
