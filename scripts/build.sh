#!/bin/bash
# Builds the 32-bit Windows program and its exec.db into build/win-i686/bin.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/sqlite-amalgamation.sh build/sqlite
cmake -S . -B build/win-i686 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake \
  -DKO_WIN_ARCH=i686 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/win-i686 -j "${KO_JOBS:-2}"
echo "built build/win-i686/bin/Runmate.exe"
