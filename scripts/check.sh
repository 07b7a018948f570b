#!/usr/bin/env bash
# The test command: builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer and runs the whole CTest suite inside a private
# network namespace. Where clang is installed, also builds the fuzz targets and runs
# each for a bounded number of inputs.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/deps.sh
scripts/check-format.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export LSAN_OPTIONS="suppressions=$top/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

if ! unshare -rn true 2>/dev/null; then
  echo "check: cannot create a private network namespace (unshare -rn failed); not running tests that use the network." >&2
  exit 1
fi

cmake -S . -B build/check -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEK_SANITIZE=ON -DZEK_BENCH=ON \
  -DCMAKE_CXX_FLAGS="-O1" >/dev/null
cmake --build build/check -j "$jobs"

status=0
if command -v clang++ >/dev/null; then
  CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEK_WITH_QT=OFF -DZEK_BENCH=OFF \
    -DZEK_FUZZ=ON -DZEK_SANITIZE=ON -DCMAKE_CXX_FLAGS="-O1" >/dev/null
  cmake --build build/fuzz -j "$jobs"
  (cd build/fuzz && unshare -rn ctest --output-on-failure -j "$jobs") || status=1
else
  echo "check: clang++ not found; skipping the fuzz targets."
fi

(cd build/check && "$top/scripts/netns-run.sh" \
  ctest --output-on-failure -j "$jobs" --timeout 300) || status=1
exit $status
