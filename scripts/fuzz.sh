#!/usr/bin/env bash
# Builds the reader's fuzz target with clang (libFuzzer, ASan, UBSan) and runs it for a
# bounded time (TAVELO_FUZZ_SECONDS, 60 by default), seeded with the compiled test forms.
# A crash, a leak or a sanitizer report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/fuzz/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTAVELO_FUZZ=ON -DTAVELO_TESTS=OFF >/dev/null
fi
cmake --build build/fuzz --target reader_fuzz >/dev/null
mkdir -p build/fuzz/seeds build/fuzz/corpus
for form in streaming/tests/forms/*.form; do
  build/host/tools/formc compile "$form" "build/fuzz/seeds/$(basename "$form" .form).bin"
done
seconds=${TAVELO_FUZZ_SECONDS:-60}
log=build/fuzz/last-run.log
status=0
build/fuzz/fuzz/reader_fuzz -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix=build/fuzz/ build/fuzz/corpus build/fuzz/seeds >"$log" 2>&1 || status=$?
runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
corpus=$(find build/fuzz/corpus -type f | wc -l)
if [ $status -ne 0 ]; then
  tail -40 "$log"
  echo "fuzz : ÉCHEC après ${runs:-?} exécutions (journal : $log)"
  exit 1
fi
echo "fuzz : ${runs:-0} exécutions en ${seconds} s, corpus de ${corpus} entrées, aucune erreur"
