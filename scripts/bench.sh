#!/usr/bin/env bash
# Builds the benchmarks in an optimised native tree without sanitizers and runs them; then
# the benchmarks that need the platform, from the win32 tree, under Wine on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/bench/build.ninja ]; then
  cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DTAVELO_BENCH=ON -DTAVELO_TESTS=OFF >/dev/null
fi
cmake --build build/bench
for b in build/bench/bench/*_bench; do
  "$b"
done

# The win32 tree needs the native tree's tools: the full build makes both when it is missing.
if [ -f build/win32/build.ninja ]; then
  cmake --build build/host --target formc assetgen >/dev/null
  cmake --build build/win32 --target imagelist_bench >/dev/null
else
  bash scripts/build.sh >/dev/null
fi
source scripts/wine-env.sh
cleanup() {
  if [ -n "${TAVELO_WINESERVER_STARTED:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${TAVELO_XVFB_PID:-}" ]; then kill "$TAVELO_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT
tavelo_start_xvfb
tavelo_wine_prefix
TAVELO_WINESERVER_STARTED=1
wineserver -p
wine build/win32/bench/imagelist_bench.exe build/win32/assets/toolbar.imagelist </dev/null
