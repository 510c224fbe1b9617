#!/bin/bash
# Runs a Windows test program under a throw-away Wine prefix of the build tree; KO_BUILD_DIR and
# KO_WIN_ARCH come from the CMake cache (see the toolchain).
set -e
build="${KO_BUILD_DIR:?}"
# KO_DPI (e.g. 144) runs in a prefix of its own with that screen resolution; KO_LOCALE (e.g.
# en_US.UTF-8, whose ANSI code page is 1252) in one of its own with that locale.
locale="${KO_LOCALE:-ja_JP.UTF-8}"
export WINEPREFIX="$build/wineprefix${KO_DPI:+-$KO_DPI}${KO_LOCALE:+-${KO_LOCALE%%.*}}" HOME="$build/winehome" WINEDEBUG=-all LC_ALL="$locale" LANG="$locale"
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
mkdir -p "$HOME"
if [ "${KO_WIN_ARCH:-i686}" = x86_64 ]; then loader=/usr/lib/wine/wine64; else loader=/usr/lib/wine/wine; fi
[ -x "$loader" ] || loader=wine
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$loader" wineboot -i >/dev/null 2>&1 || true
  # Wine draws the frames itself: screenshots then show captions, with no window manager on the X server.
  "$loader" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  [ -z "${KO_DPI:-}" ] || "$loader" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$KO_DPI" /f >/dev/null 2>&1 || true
  # Another locale has no Japanese fonts of its own: the dialogs' font and the system's (message
  # boxes, captions) reach the installed one, as font linking does on Windows.
  if [ -n "${KO_LOCALE:-}" ]; then
    "$loader" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f >/dev/null 2>&1 || true
    for face in Tahoma 'Microsoft Sans Serif' 'MS Shell Dlg'; do
      "$loader" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' /v "$face" \
        /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null 2>&1 || true
    done
  fi
  wineserver -w || true
fi
exec "$loader" "$@"
