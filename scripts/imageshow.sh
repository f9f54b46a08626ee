#!/usr/bin/env bash
# Draws the program's images through the framework's own image list and picture
# (tools/imageshow.cpp) under Wine, and writes them as a PNG at twice their size: the 45
# images enabled and disabled, and the 102 × 102 picture. Usage:
#   scripts/imageshow.sh [OUTPUT.png]      (build/screenshots/images.png by default)
set -euo pipefail
cd "$(dirname "$0")/.."
output=$(realpath -m "${1:-build/screenshots/images.png}")
bash scripts/build.sh >/dev/null
source scripts/wine-env.sh
tavelo_wine_session
assets=$TAVELO_WIN_TREE/assets
sheet=$TAVELO_WIN_TREE/tools/images.bmp
wine "$TAVELO_WIN_TREE/tools/imageshow.exe" "$assets/toolbar.imagelist" "$assets/logo.picture" "$sheet" </dev/null
mkdir -p "$(dirname "$output")"
# The full path: another "convert" may stand before ImageMagick's on the PATH.
/usr/bin/convert "$sheet" -scale 200% "png:$output"
echo "$output"
