#!/bin/bash
# Runs the release program under Wine, in a prefix of its own (the tests
# never see what is done here): without arguments the group list opens,
# with a path that path is launched. Without a display the program is shown
# on a virtual one for a few seconds, a screenshot of it is saved to
# build/shots/run.png, and the run ends by itself.
# The program is the one this machine can run: the 64-bit one where 32-bit
# code cannot run. A run that shows nothing fails.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/runnable.sh
dir=build/release-$KO_KIND
[ -f "$dir/bin/Runmate.exe" ] || bash scripts/build.sh
echo "running the $KO_KIND program ($dir/bin/Runmate.exe)"
export KO_BUILD_DIR="$PWD/$dir"
# A path of this machine is handed over as Wine sees it (Z:\...).
args=()
for a in "$@"; do
  if [ -e "$a" ]; then a="Z:$(realpath "$a" | sed 's|/|\\|g')"; fi
  args+=("$a")
done
if [ -n "${DISPLAY:-}" ]; then
  exec tests/wine-run.sh "$dir/bin/Runmate.exe" "${args[@]}"
fi
tests/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true  # the prefix, made before the clock runs
mkdir -p build/shots
shot="$PWD/build/shots/run.png"
rm -f "$shot"
# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  tests/wine-run.sh "$0" "${@:2}" &
  sleep "${KO_RUN_SECONDS:-8}"
  import -window root "$1" || true
  WINEPREFIX="$KO_BUILD_DIR/wineprefix" wineserver -k 2>/dev/null || true
  wait 2>/dev/null || true' "$dir/bin/Runmate.exe" "$shot" "${args[@]}" 2>&1 | iconv -f UTF-8 -t UTF-8 -c
# A screen of one colour showed nothing: no window opened.
colours=$(convert "$shot" -format %k info: 2>/dev/null || echo 0)
if [ "${colours:-0}" -le 1 ]; then
  echo "the program showed nothing: $shot is empty" >&2
  exit 1
fi
echo "no display: the program ran on a virtual one; what it showed is in $shot"
