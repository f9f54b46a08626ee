#!/usr/bin/env bash
# Builds the fuzz targets (every *_fuzz of fuzz/CMakeLists.txt) with clang (libFuzzer, ASan,
# UBSan) and runs them for a bounded time: TAVELO_FUZZ_SECONDS (60 by default) is shared
# evenly between them. Each starts from its own seeds and keeps its own corpus. A crash, a
# leak or a sanitizer report in any of them fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVELO_FUZZ=ON -DTAVELO_TESTS=OFF >/dev/null
fi
mapfile -t targets < <(sed -n 's/^add_executable(\([A-Za-z0-9_]*_fuzz\) .*/\1/p' fuzz/CMakeLists.txt)
mapfile -t tools < <(sed -n 's/^add_executable(\([A-Za-z0-9_]*_seeds\) .*/\1/p' fuzz/CMakeLists.txt)
cmake --build build/fuzz --target "${targets[@]}" "${tools[@]}" >/dev/null

# The seeds of a target, written into the folder given; a target without a function here
# starts from an empty input.
seeds_reader_fuzz() {
  for form in streaming/tests/forms/*.form; do
    build/host/tools/formc compile "$form" "$1/$(basename "$form" .form).bin"
  done
}
seeds_bmp_fuzz() { build/fuzz/fuzz/bmp_seeds "$1"; }
seeds_imagelist_fuzz() {
  local list=build/host/assets/toolbar.imagelist
  cp "$list" "$1/platform.imagelist"
  # The same pictures in the older layout: the colour file's size (14390), the count (45),
  # the colour file, the mask file.
  { printf '\x36\x38\x00\x00\x2d\x00\x00\x00'; tail -c +29 "$list" | head -c 16116; } >"$1/two-bitmaps.imagelist"
}

total=${TAVELO_FUZZ_SECONDS:-60}
seconds=$((total / ${#targets[@]}))
[ "$seconds" -ge 1 ] || seconds=1
status=0
for target in "${targets[@]}"; do
  seeds=build/fuzz/seeds/$target
  corpus=build/fuzz/corpus/$target
  mkdir -p "$seeds" "$corpus"
  if declare -F "seeds_$target" >/dev/null; then "seeds_$target" "$seeds"; fi
  log=build/fuzz/$target.log
  result=0
  "build/fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="build/fuzz/$target-" "$corpus" "$seeds" >"$log" 2>&1 || result=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  entries=$(find "$corpus" -type f | wc -l)
  if [ $result -ne 0 ]; then
    tail -40 "$log"
    echo "fuzz $target : ÉCHEC après ${runs:-?} exécutions (journal : $log)"
    status=1
  else
    echo "fuzz $target : ${runs:-0} exécutions en ${seconds} s, corpus de ${entries} entrées, aucune erreur"
  fi
done
exit $status
