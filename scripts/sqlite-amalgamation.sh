#!/bin/bash
# Makes sqlite3.c/sqlite3.h from Debian's sqlite3 source package into $1.
set -euo pipefail
out="$(realpath -m "$1")"
if [ -f "$out/sqlite3.c" ] && [ -f "$out/sqlite3.h" ]; then exit 0; fi
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
apt-get source -qq --download-only sqlite3 >/dev/null 2>&1 || apt-get source --download-only sqlite3
dpkg-source -x sqlite3_*.dsc src >/dev/null
mkdir bld && cd bld
../src/configure >/dev/null
make -s sqlite3.c >/dev/null
cp sqlite3.c sqlite3.h "$out/"
echo "sqlite amalgamation ready in $out"
