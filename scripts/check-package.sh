#!/bin/bash
# Checks what users download: the zip from scripts/package.sh unpacked into
# a folder with a Japanese name, a launch from there (the recording
# stand-in as the application) and its group list, under Wine. $1 is the
# Windows test build (its stand-ins and its Wine prefix), $2 its arch: the
# package of that arch is the one checked.
set -uo pipefail
cd "$(dirname "$0")/.."
testdir="$PWD/$1"
export KO_BUILD_DIR="$testdir" KO_WIN_ARCH="$2"
kind=win32; [ "$2" = x86_64 ] && kind=win64
zip=$(ls dist/Runmate-*-$kind.zip | head -1)
root="$PWD/build/pkgcheck"
rm -rf "$root" && mkdir -p "$root/配布 テスト"
unzip -q "$zip" -d "$root/配布 テスト" || { echo "package: cannot unzip $zip"; exit 1; }
app=$(echo "$root/配布 テスト"/Runmate-*)
win() { echo "Z:$(echo "$1" | sed 's|/|\\|g')"; }
fail=0
for f in Runmate.exe exec.db readme.txt docs/contents.html help/help.html; do
  [ -f "$app/$f" ] || { echo "package: $f missing"; fail=1; }
done
unzip -l "$zip" | grep -qiE "recorder|gtest|wtest_|test_" && { echo "package: test code in the zip"; fail=1; }

rec=$(win "$testdir/bin/recorder.exe")
sqlite3 "$app/exec.db" "insert into atable (id,name,cmd) values (50,'記録','\"$rec\"  \"%1\"');
  insert into etable (name,elist,na,atab) values ('記録','rec',1,X'32000000');" || fail=1
touch "$app/報告 書.rec"
export KO_RECORD="$(win "$root")\\record.txt"
xvfb-run -a tests/wine-run.sh "$app/Runmate.exe" "$(win "$app/報告 書.rec")" >/dev/null 2>&1
for _ in $(seq 50); do [ -f "$root/record.txt" ] && break; sleep 0.2; done
want="\"$rec\"  \"$(win "$app/報告 書.rec")\""
got=$(sed 1d "$root/record.txt" 2>/dev/null)  # after the stand-in's start time
if [ "$got" != "$want" ]; then
  echo "package: the launch gave [$got], not [$want]"
  fail=1
fi

mkdir -p build/shots
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  tests/wine-run.sh "$0" >/dev/null 2>&1 &
  tests/wine-run.sh "$1/bin/waitwindow.exe" "拡張子グループのリスト" 20000 >/dev/null 2>&1
  rc=$?
  [ $rc = 0 ] && import -window root build/shots/package-grouplist.png 2>/dev/null
  tests/wine-run.sh "$1/bin/waitwindow.exe" "拡張子グループのリスト" 2000 close >/dev/null 2>&1
  wait
  exit $rc' "$app/Runmate.exe" "$testdir" || { echo "package: the group list did not open"; fail=1; }

[ $fail = 0 ] && echo "package: checked $zip from $app"
exit $fail
