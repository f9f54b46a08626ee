#!/usr/bin/env bash
# Starts the editor under Wine on the current display; without one, starts it on a virtual
# display, writes a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
exe=$TAVELO_WIN_TREE/app/tavelo.exe
if [ -n "${DISPLAY:-}" ] && xdpyinfo -display "$DISPLAY" >/dev/null 2>&1; then
  tavelo_wine_prefix
  exec wine "$exe"
fi
echo "Pas d'écran : Tavelo démarre sur un écran virtuel, capture ci-dessous."
bash scripts/screenshot.sh --seconds 4 --desktop 800x600 build/screenshots/tavelo.png "$exe"
