#!/usr/bin/env bash
# Configures (once) and builds both trees: the native one first, since its tools make the
# win32 tree's resources.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ ! -f build/host/build.ninja ]; then
  cmake -S . -B build/host -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTAVELO_SANITIZE=ON >/dev/null
fi
cmake --build build/host
if [ ! -f build/win32/build.ninja ]; then
  cmake -S . -B build/win32 -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" -DTAVELO_FORMC="$PWD/build/host/tools/formc" \
    -DTAVELO_ASSETGEN="$PWD/build/host/tools/assetgen" >/dev/null
fi
cmake --build build/win32
