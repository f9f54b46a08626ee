#!/usr/bin/env bash
# Runs every test: the bounded fuzz runs, ctest in the native tree, then ctest in the
# win32 tree under Wine on a virtual display with one persistent wineserver. Whatever this started is stopped at the
# end by its own pid or prefix, also when a test fails.
set -uo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh

cleanup() {
  if [ -n "${TAVELO_WINESERVER_STARTED:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  if [ -n "${TAVELO_XVFB_PID:-}" ]; then kill "$TAVELO_XVFB_PID" 2>/dev/null || true; fi
}
trap cleanup EXIT

status=0
echo "== Fuzz (build/fuzz)"
bash scripts/fuzz.sh || status=1

echo "== Tests natifs (build/host)"
(cd build/host && ctest --output-on-failure -j2) || status=1

echo "== Tests Windows sous Wine (build/win32)"
tavelo_start_xvfb || exit 1
tavelo_wine_prefix
TAVELO_WINESERVER_STARTED=1
wineserver -p
# Wine's own services start with the first program; started here, they do not hold on to
# the output pipe of whichever test would have started them.
wine cmd.exe /c exit >/dev/null 2>&1 </dev/null
(cd build/win32 && ctest --output-on-failure -j2) || status=1
exit $status
