#!/bin/bash
# Installs everything the build and the tests need (Debian 12), as root or
# through sudo.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null; then
  SUDO=sudo
else
  echo "install-deps.sh: run it as root, or install sudo first" >&2
  exit 1
fi

# The Windows build compiles SQLite from Debian's own source package.
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources |
      $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null
  else
    echo 'deb-src http://deb.debian.org/debian bookworm main' | $SUDO tee /etc/apt/sources.list.d/debian-src.list >/dev/null
  fi
fi
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build pkg-config dpkg-dev tcl \
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth x11-apps imagemagick \
  fonts-ipafont-gothic libsqlite3-dev sqlite3 libgtest-dev libgmock-dev googletest libbenchmark-dev \
  nlohmann-json3-dev clang-14 libclang-rt-14-dev \
  locales zip unzip >/dev/null
# Wine takes its code page from the locale: ja_JP.UTF-8 (932) for the tests, en_US.UTF-8 (1252)
# for the test that the program does not depend on it.
if ! locale -a 2>/dev/null | grep -qi "ja_JP.utf8" || ! locale -a 2>/dev/null | grep -qi "en_US.utf8"; then
  $SUDO sed -i -e "s/^# *ja_JP.UTF-8 UTF-8/ja_JP.UTF-8 UTF-8/" -e "s/^# *en_US.UTF-8 UTF-8/en_US.UTF-8 UTF-8/" /etc/locale.gen &&
    $SUDO locale-gen >/dev/null || true
fi
echo "dependencies installed"
