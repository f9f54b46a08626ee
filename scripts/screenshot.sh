#!/usr/bin/env bash
# Runs a Windows program of ours under Wine on a virtual display and writes a PNG after N
# seconds. Usage:
#   scripts/screenshot.sh [--seconds N] [--desktop WxH] OUTPUT.png PROGRAM.exe [ARGS...]
# --desktop runs the program inside a Wine desktop of that size, which draws window captions.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh

seconds=3
desktop=""
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --desktop) desktop=$2; shift 2 ;;
    *) break ;;
  esac
done
if [ $# -lt 2 ]; then
  echo "usage : $0 [--seconds N] [--desktop WxH] SORTIE.png PROGRAMME.exe [ARGS...]" >&2
  exit 2
fi
output=$(realpath -m "$1"); shift
program=$1; shift

# A display and wineserver of this shot's own, stopped when it ends.
tavelo_wine_session
if [ -n "$desktop" ]; then
  wine explorer "/desktop=tavelo,$desktop" "$program" "$@" >/dev/null 2>&1 &
else
  wine "$program" "$@" >/dev/null 2>&1 &
fi
sleep "$seconds"
mkdir -p "$(dirname "$output")"
# The full path: another "convert" may stand before ImageMagick's on the PATH.
crop=()
[ -n "$desktop" ] && crop=(-crop "$desktop+0+0" +repage)
xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- "${crop[@]}" "png:$output"
echo "$output"
