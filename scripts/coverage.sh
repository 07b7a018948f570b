#!/usr/bin/env bash
# Line coverage of src/ over the whole test suite: a gcc --coverage build, the suite run
# inside the private network namespace, and gcovr's summary per file and in total.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/deps.sh gcovr
build=build/coverage
# zekctl's fleet sessions run on threads: plain counters race there and gcov then reports
# negative branch counts, which gcovr refuses to read.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEK_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="--coverage -O0 -fprofile-update=atomic" -DCMAKE_EXE_LINKER_FLAGS=--coverage >/dev/null
cmake --build "$build" -j "$(nproc)"
find "$build" -name '*.gcda' -delete
(cd "$build" && QT_QPA_PLATFORM=offscreen "$top/scripts/netns-run.sh" ctest -j "$(nproc)" --timeout 300 >/dev/null) ||
  echo "coverage: some tests failed; the figures below count what ran" >&2
gcovr --root "$top" --filter "$top/src/" --exclude '.*_autogen/.*' --print-summary --txt "$build/coverage.txt" "$build"
echo "per file: $build/coverage.txt"
