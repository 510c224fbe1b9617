#!/bin/bash
# Runs the program under Wine: without arguments the group list opens,
# with a path that path is launched.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build/win-i686
arch=i686
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  # No 32-bit execution on this machine: run the x86-64 build of the sources.
  dir=build/win-x86_64
  arch=x86_64
  if [ ! -f "$dir/bin/Runmate.exe" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake \
      -DKO_WIN_ARCH=x86_64 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$dir" -j "${KO_JOBS:-2}"
  fi
fi
export KO_BUILD_DIR="$PWD/$dir" KO_WIN_ARCH=$arch
# A path of this machine is handed over as Wine sees it (Z:\...).
args=()
for a in "$@"; do
  if [ -e "$a" ]; then a="Z:$(realpath "$a" | sed 's|/|\\|g')"; fi
  args+=("$a")
done
set -- "${args[@]}"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a tests/wine-run.sh "$dir/bin/Runmate.exe" "$@"
fi
exec tests/wine-run.sh "$dir/bin/Runmate.exe" "$@"
