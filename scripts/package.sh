#!/bin/bash
# The release packages: an optimised, stripped, static Runmate.exe with a
# fresh exec.db, the documents and readme.txt (Shift-JIS, CRLF), zipped as
# dist/Runmate-<version>-win64.zip (x86-64) and dist/Runmate-<version>-win32.zip
# (x86), each with its SHA-256 beside it. The programs are built in
# build/release-win64 and build/release-win32.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^#define RUNMATE_VERSION "\(.*\)"/\1/p' res/version.h)
name="Runmate-$version"
bash scripts/sqlite-amalgamation.sh build/sqlite
mkdir -p dist
for target in win64:x86_64 win32:i686; do
  kind=${target%%:*} arch=${target#*:}
  build=build/release-$kind
  cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake -DKO_WIN_ARCH=$arch \
    -DCMAKE_BUILD_TYPE=Release -DKO_BUILD_TESTS=OFF >/dev/null
  cmake --build "$build" -j "${KO_JOBS:-2}" --target runmate execdb helpdocs
  stage="$build/stage/$name"
  rm -rf "$build/stage" && mkdir -p "$stage"
  cp "$build/bin/Runmate.exe" "$build/bin/exec.db" "$stage/"
  cp -r res/docs res/help "$stage/"
  sed "s/@VERSION@/$version/g" res/readme.txt | iconv -f UTF-8 -t CP932 | sed 's/$/\r/' >"$stage/readme.txt"
  zip="dist/$name-$kind.zip"
  rm -f "$zip"
  (cd "$build/stage" && zip -qrX "../../../$zip" "$name")
  (cd dist && sha256sum "$name-$kind.zip" >"$name-$kind.zip.sha256")
  echo "package: $zip ($(stat -c %s "$zip") bytes), $zip.sha256"
done
