#!/bin/bash
# Command 2: builds everything and runs every test, natively (AddressSanitizer
# and UndefinedBehaviorSanitizer) and as Windows programs under Wine and Xvfb.
set -uo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
jobs="${KO_JOBS:-2}"

if [ "${KO_SKIP_INSTALL:-0}" != 1 ]; then
  bash scripts/install-deps.sh || exit 1
fi
bash scripts/sqlite-amalgamation.sh build/sqlite || exit 1

fail=0
passed=0
failed=0
count() {  # adds up ctest's summary line from a log
  local line
  line=$(grep -E '[0-9]+ tests failed out of [0-9]+' "$1" | tail -1)
  if [ -z "$line" ]; then fail=1; return; fi
  local f t
  f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + t - f))
  failed=$((failed + f))
}

echo "== native build (sanitizers)"
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null &&
  cmake --build build/native -j "$jobs" || fail=1
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/native --output-on-failure -j "$jobs" 2>&1 | tee build/native-ctest.log || fail=1
count build/native-ctest.log

# libFuzzer targets (tests/fuzz): built natively with clang, each run for 20
# seconds on its corpus in the repository; what they find goes to the build
# tree. A crash or a failed check fails the run.
echo "== fuzzing (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)"
if CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKO_FUZZ=ON \
     -DKO_BUILD_TESTS=OFF >/dev/null && cmake --build build/fuzz -j "$jobs"; then
  for src in tests/fuzz/fuzz_*.cpp; do
    name=$(basename "$src" .cpp)
    mkdir -p "build/fuzz/corpus-$name"
    if build/fuzz/tests/fuzz/"$name" -max_total_time=20 -timeout=10 "build/fuzz/corpus-$name" "tests/fuzz/corpus/$name" \
         >"build/fuzz/$name.log" 2>&1; then
      echo "$name: $(grep -Eo 'Done [0-9]+ runs' "build/fuzz/$name.log")"; passed=$((passed + 1))
    else
      echo "$name failed:"; tail -40 "build/fuzz/$name.log"; failed=$((failed + 1))
    fi
  done
else
  fail=1
fi

# The shipped program is 32-bit. Some machines cannot execute 32-bit code at
# all (no IA-32 emulation in the kernel, so no 32-bit Wine); there the same
# sources are built for x86-64 and run under the 64-bit Wine instead.
echo "== Windows build, 32-bit (the program)"
cmake -S . -B build/win-i686 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake \
  -DKO_WIN_ARCH=i686 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
  cmake --build build/win-i686 -j "$jobs" || fail=1

if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  testdir=build/win-i686
else
  echo "== this machine cannot run 32-bit programs: Wine tests use the 64-bit build"
  testdir=build/win-x86_64
  cmake -S . -B "$testdir" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake \
    -DKO_WIN_ARCH=x86_64 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null &&
    cmake --build "$testdir" -j "$jobs" || fail=1
fi

echo "== Windows tests under Wine ($testdir)"
# Make the prefix once, before tests run side by side.
arch=i686; [ "$testdir" = build/win-x86_64 ] && arch=x86_64
KO_BUILD_DIR="$root/$testdir" KO_WIN_ARCH=$arch tests/wine-run.sh cmd /c exit 0 >/dev/null 2>&1 || true
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir "$testdir" --output-on-failure -j "$jobs" 2>&1 | tee build/wine-ctest.log || fail=1
count build/wine-ctest.log

# Every dialog and the menu once more: at the largest allowed font size, at
# 144 DPI, and at both, for the screenshots in shots-font-max, shots-144dpi
# and shots-144dpi-font-max beside the 96 DPI ones at 9 points.
for pass in "font-max::max" "144dpi:144:" "144dpi-font-max:144:max"; do
  IFS=: read -r name dpi font <<<"$pass"
  echo "== screenshots: $name"
  shots="$root/$testdir/tests/shots-$name"
  mkdir -p "$shots"
  tests="wtest_manage:--gtest_filter=* wtest_appdialog:--gtest_filter=* wtest_option:--gtest_filter=*"
  # The menu does not follow the dialog font.
  [ -n "$font" ] || tests="$tests wtest_program:--gtest_filter=*Sends* wtest_launch:--gtest_filter=*TheMenu*"
  for t in $tests; do
    if (cd "$testdir/tests" && KO_DPI=$dpi KO_SHOT_FONT=$font KO_SHOT_DIR="Z:${shots//\//\\}" KO_BUILD_DIR="$root/$testdir" \
        KO_WIN_ARCH=$arch xvfb-run -a -s "-screen 0 1280x1024x24" "$root/tests/wine-run.sh" "./${t%%:*}.exe" "${t#*:}" \
        >"$root/build/shots-$name.log" 2>&1); then
      passed=$((passed + 1))
    else
      echo "$name: ${t%%:*} failed"; cat "$root/build/shots-$name.log"; failed=$((failed + 1))
    fi
  done
done

echo "== release packages: built, the one this machine runs unpacked into a Japanese folder and run"
if bash scripts/package.sh >build/package.log 2>&1; then
  [ "$testdir" = build/win-i686 ] || echo "package: the 32-bit one built, not run: this machine cannot run 32-bit programs"
  if bash scripts/check-package.sh "$testdir" $arch; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
else
  cat build/package.log
  failed=$((failed + 1))
fi

echo "total: $passed passed, $failed failed"
[ "$fail" = 0 ] && [ "$failed" = 0 ]
