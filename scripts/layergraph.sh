#!/usr/bin/env bash
# Prints the links between the project's libraries as CMake sees them (cmake --graphviz on a
# configure-only 32-bit tree in build/layers) and fails when one points up the layers.
# Usage: scripts/layergraph.sh
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/host/tools/formc ] || bash scripts/build.sh >/dev/null
cmake -S . -B build/layers -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" \
  -DTAVELO_FORMC="$PWD/build/host/tools/formc" -DTAVELO_ASSETGEN="$PWD/build/host/tools/assetgen" \
  -DTAVELO_TESTS=OFF --graphviz=build/layers/layers.dot >/dev/null
# The libraries from the bottom up; a folder's two halves share a rank, and the ready-made
# actions stand above the dialogs they use.
ranks="tavelo_core=0 tavelo_streaming=1 tavelo_graphics=2 tavelo_graphics_win32=2 tavelo_actions=3
tavelo_controls=4 tavelo_controls_win32=4 tavelo_dialogs=5 tavelo_stdactions=6 tavelo_actnman=6
tavelo_app=7 tavelo=8"
awk -v ranks="$ranks" '
  BEGIN { n = split(ranks, r, /[ \n]+/); for (i = 1; i <= n; i++) { split(r[i], kv, "="); rank[kv[1]] = kv[2] } }
  match($0, /"node[0-9]+" \[ label = "[^"]+"/) {
    split(substr($0, RSTART, RLENGTH), p, "\""); name[p[2]] = p[4]
  }
  match($0, /"node[0-9]+" -> "node[0-9]+"/) {
    split(substr($0, RSTART, RLENGTH), p, "\""); a = name[p[2]]; b = name[p[4]]
    if (!(a in rank) || !(b in rank)) next
    up = rank[b] > rank[a] || (rank[b] == rank[a] && a != b "_win32")
    printf "%-24s -> %s%s\n", a, b, up ? "   <- vers le haut" : ""
    bad += up
  }
  END { if (bad) { print bad " lien(s) vers le haut"; exit 1 } print "aucun lien vers le haut" }
' build/layers/layers.dot
