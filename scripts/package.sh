#!/bin/bash
# The release package: an optimised, stripped, static Runmate.exe with a
# fresh exec.db, the documents and readme.txt (Shift-JIS, CRLF), zipped as
# dist/Runmate-<version>-win32.zip with its SHA-256 beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^#define RUNMATE_VERSION "\(.*\)"/\1/p' res/version.h)
name="Runmate-$version"
build=build/release
bash scripts/sqlite-amalgamation.sh build/sqlite
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DKO_WIN_ARCH=i686 \
  -DCMAKE_BUILD_TYPE=Release -DKO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j "${KO_JOBS:-2}" --target runmate execdb helpdocs
stage="$build/stage/$name"
rm -rf "$build/stage" && mkdir -p "$stage"
cp "$build/bin/Runmate.exe" "$build/bin/exec.db" "$stage/"
cp -r res/docs res/help "$stage/"
sed "s/@VERSION@/$version/g" res/readme.txt | iconv -f UTF-8 -t CP932 | sed 's/$/\r/' >"$stage/readme.txt"
mkdir -p dist
zip="dist/$name-win32.zip"
rm -f "$zip"
(cd "$build/stage" && zip -qrX "../../../$zip" "$name")
(cd dist && sha256sum "$name-win32.zip" >"$name-win32.zip.sha256")
echo "package: $zip ($(stat -c %s "$zip") bytes), $zip.sha256"
