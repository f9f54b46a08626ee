#!/usr/bin/env bash
# Configures (once) and builds the trees: the native one first, since its tools make the
# Windows trees' resources; then the shipped 32-bit program; then, on a machine that runs no
# 32-bit program, the same sources for x86_64, whose programs run there (scripts/wine-env.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
if [ ! -f build/host/build.ninja ]; then
  cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVELO_SANITIZE=ON >/dev/null
fi
cmake --build build/host

# tree, toolchain file
windows_tree() {
  if [ ! -f "$1/build.ninja" ]; then
    cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/$2" -DTAVELO_FORMC="$PWD/build/host/tools/formc" \
      -DTAVELO_ASSETGEN="$PWD/build/host/tools/assetgen" >/dev/null
  fi
  cmake --build "$1"
}
windows_tree build/win32 mingw-i686.cmake
if [ "$TAVELO_WIN_TREE" = build/win64 ]; then
  echo "build: ce noyau n'exécute pas de programme 32 bits ; les programmes Windows tournent depuis build/win64"
  windows_tree build/win64 mingw-x86_64.cmake
fi
