#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) and runs each for a bounded
# time: TAVELO_FUZZ_SECONDS (60 by default) is shared between them. The component reader
# starts from the compiled test forms, the image-list check from the generated image list
# in both of its layouts. A crash, a leak or a sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVELO_FUZZ=ON -DTAVELO_TESTS=OFF >/dev/null
fi
targets=(reader_fuzz imagelist_fuzz)
cmake --build build/fuzz --target "${targets[@]}" >/dev/null

seeds_reader_fuzz() {
  for form in streaming/tests/forms/*.form; do
    build/host/tools/formc compile "$form" "$1/$(basename "$form" .form).bin"
  done
}
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
  "seeds_$target" "$seeds"
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
