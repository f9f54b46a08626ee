#!/usr/bin/env bash
# The editor under Wine on a virtual display, narrowed by real drags of its right and bottom
# edges (xdotool), then its tool bar's overflow button clicked. Writes three PNGs into OUTDIR:
# wide.png, narrow.png (the last buttons hidden behind the overflow button) and overflow.png
# (the list of hidden buttons open). The window is made short as well, so that the list reaches
# past it: with no window manager, a popup lying wholly over its window shows black on screen.
# Usage: scripts/toolbarshot.sh OUTDIR
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
out=$(realpath -m "${1:?usage: $0 OUTDIR}")
mkdir -p "$out"
tavelo_wine_session
wine explorer "/desktop=tavelo,1024x768" "$TAVELO_WIN_TREE/app/tavelo.exe" >/dev/null 2>&1 &
shot() { xwd -root -silent -display "$DISPLAY" | /usr/bin/convert xwd:- -crop 1024x768+0+0 +repage "png:$1"; }
drag() {  # x0 y0 then the points of the drag
  xdotool mousemove "$1" "$2" mousedown 1; shift 2
  while [ $# -gt 1 ]; do xdotool mousemove "$1" "$2"; sleep 0.2; shift 2; done
  xdotool mouseup 1
}
# The window opens at 198,107, 696 by 480 (its description).
sleep 12
shot "$out/wide.png"
drag 892 350  850 350 800 350 750 350 700 350 650 350 600 350 560 350
sleep 1
drag 350 585  350 500 350 400 350 300 350 250 350 205
sleep 1
shot "$out/narrow.png"
xdotool mousemove 552 172; sleep 0.5; xdotool click 1
sleep 2
shot "$out/overflow.png"
echo "$out"
