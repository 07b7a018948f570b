#!/usr/bin/env bash
# The Windows build of everything below the window: core, the core tests and zekctl,
# cross-compiled with Debian's mingw-w64 and linked statically, then run under wine
# inside a private network namespace. Prints "N passed, N failed" and fails when any did.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/deps.sh g++-mingw-w64-x86-64-posix wine wine64

build=build/windows
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DZEK_WITH_QT=OFF -DZEK_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

export WINEPREFIX="$top/$build/wineprefix" WINEDEBUG=-all
# A fresh prefix takes a while to create; do it once, outside the timings of the tests.
[ -d "$WINEPREFIX" ] || wineboot --init >/dev/null 2>&1 || true

log=$build/core_tests.log
unshare -rn wine "$build/tests/core_tests.exe" 2>&1 | tr -d '\r' >"$log" || true
passed=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\{0,1\}\.$/\1/p' "$log")
failed=$(sed -n 's/^ *\([0-9]*\) FAILED TESTS\{0,1\}$/\1/p' "$log")
passed=${passed:-0} failed=${failed:-0}
grep '^\[  FAILED  \] [A-Za-z0-9_.]*$' "$log" || true
echo "windows: core tests under wine: $passed passed, $failed failed"
[ "$passed" -gt 0 ] && [ "$failed" -eq 0 ]
