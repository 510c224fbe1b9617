#!/bin/bash
# Runs a Windows test program under a throw-away Wine prefix of the build tree; KO_BUILD_DIR and
# KO_WIN_ARCH come from the CMake cache (see the toolchain).
set -e
build="${KO_BUILD_DIR:?}"
# KO_DPI (e.g. 144) runs in a prefix of its own with that screen resolution.
export WINEPREFIX="$build/wineprefix${KO_DPI:+-$KO_DPI}" HOME="$build/winehome" WINEDEBUG=-all LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
mkdir -p "$HOME"
if [ "${KO_WIN_ARCH:-i686}" = x86_64 ]; then loader=/usr/lib/wine/wine64; else loader=/usr/lib/wine/wine; fi
[ -x "$loader" ] || loader=wine
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$loader" wineboot -i >/dev/null 2>&1 || true
  # Wine draws the frames itself: screenshots then show captions, with no window manager on the X server.
  "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  [ -z "${KO_DPI:-}" ] || "$loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$KO_DPI" /f >/dev/null 2>&1 || true
  wineserver -w || true
fi
exec "$loader" "$@"
