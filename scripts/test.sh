#!/usr/bin/env bash
# Runs every test: the bounded fuzz runs, ctest in the native tree, then ctest in the Windows
# tree this machine runs (build/win32, or build/win64 where the kernel runs no 32-bit
# program: scripts/wine-env.sh) under Wine on a virtual display, in the tests' own prefix
# (a Wine desktop), with one persistent wineserver. Whatever this started is stopped at the
# end by its own pid or prefix, also when a test fails.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh

status=0
echo "== Fuzz (build/fuzz)"
bash scripts/fuzz.sh || status=1

echo "== Tests natifs (build/host)"
(cd build/host && ctest --output-on-failure -j2) || status=1

echo "== Tests Windows sous Wine ($TAVELO_WIN_TREE)"
tavelo_wine_test_prefix
tavelo_wine_session || exit 1
(cd "$TAVELO_WIN_TREE" && ctest --output-on-failure -j2) || status=1
exit $status
