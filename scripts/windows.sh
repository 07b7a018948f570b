#!/usr/bin/env bash
# The Windows build of everything below the window: core, the platform seam, their tests
# and zekctl.exe, cross-compiled with Debian's mingw-w64 and linked statically. The tests
# then run under wine without any network, and zekctl.exe against the native zeksim inside
# a private network namespace. Prints "N passed, N failed" and fails when any did.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
# tzdata: the zekctl check sets the PC clock in two named time zones.
scripts/deps.sh g++-mingw-w64-x86-64-posix wine wine64 tzdata

build=build/windows
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DZEK_WITH_QT=OFF -DZEK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

export WINEPREFIX="$top/$build/wineprefix" WINEDEBUG=-all
# Wine's server makes the sockets of its programs, in the network namespace it was started
# in: nothing of wine may ever start outside one. A fresh prefix takes a while to create;
# it is made once.
[ -d "$WINEPREFIX" ] || unshare -rn wineboot --init >/dev/null 2>&1 || true

# A bare Windows has only its system libraries: the program may import nothing else.
imports=$(x86_64-w64-mingw32-objdump -p "$build/src/ctl/zekctl.exe" | sed -n 's/^\tDLL Name: //p')
foreign=$(grep -viE '^(kernel32|msvcrt|ws2_32|iphlpapi|advapi32|user32|shell32)\.dll$' <<<"$imports" || true)
if [ -n "$foreign" ]; then
  echo "windows: zekctl.exe needs libraries a bare Windows lacks: $foreign" >&2
  exit 1
fi

# zekctl.exe's peer: the simulator, built natively in the demo's build directory.
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DZEK_BENCH=OFF >/dev/null
cmake --build build/release -j "$(nproc)" --target zeksim

status=0
for tests in core_tests ctl_tests windows_tests; do
  log=$build/$tests.log
  unshare -rn wine "$build/tests/$tests.exe" 2>&1 | tr -d '\r' >"$log" || true
  passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\.$/\1/p' "$log")
  failed=$(sed -n 's/^ *\([0-9]*\) FAILED TESTS\{0,1\}$/\1/p' "$log")
  passed=${passed:-0} failed=${failed:-0}
  grep '^\[  FAILED  \] [A-Za-z0-9_.]*$' "$log" || true
  echo "windows: $tests under wine: $passed passed, $failed failed"
  [ "$passed" -gt 0 ] && [ "$failed" -eq 0 ] || status=1
done

# The stored fuzz corpora: every bad input must be survived by the Windows build as well.
passed=0 failed=0
for replay in "$build"/fuzz/fuzz_*_replay.exe; do
  target=$(basename "$replay" _replay.exe)
  if unshare -rn wine "$replay" "Z:$(sed 's|/|\\|g' <<<"$top/fuzz/corpus/$target")" >/dev/null 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "windows: $target's corpus failed under wine"
  fi
done
echo "windows: fuzz corpora under wine: $passed passed, $failed failed"
[ "$passed" -gt 0 ] && [ "$failed" -eq 0 ] || status=1

echo -n "windows: "
scripts/netns-run.sh tests/windows/zekctl_under_wine.sh "$build/src/ctl/zekctl.exe" build/release/src/sim/zeksim ||
  status=1
exit $status
