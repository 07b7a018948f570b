#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer and runs each in turn for
# FUZZ_SECONDS seconds (default 60), or for FUZZ_RUNS inputs when that is set, from its
# stored corpus and with its dictionary. Inputs found on the way go to
# build/fuzz/corpus/<target>; a crashing input is kept in build/fuzz/findings/<target>/
# and belongs, once fixed, in fuzz/corpus/<target>/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZEK_WITH_QT=OFF -DZEK_BENCH=OFF \
  -DZEK_FUZZ=ON -DZEK_SANITIZE=ON -DCMAKE_CXX_FLAGS="-O1" >/dev/null
cmake --build build/fuzz -j "$(nproc)"

if [ -n "${FUZZ_RUNS:-}" ]; then limit=(-runs="$FUZZ_RUNS"); else limit=(-max_total_time="${FUZZ_SECONDS:-60}"); fi
status=0
for source in fuzz/fuzz_*.cpp; do
  name=$(basename "$source" .cpp)
  mkdir -p "build/fuzz/corpus/$name" "build/fuzz/findings/$name"
  echo "fuzz: $name ${limit[*]}"
  "build/fuzz/fuzz/$name" "${limit[@]}" -dict="fuzz/$name.dict" -print_final_stats=1 \
    -artifact_prefix="build/fuzz/findings/$name/" "build/fuzz/corpus/$name" "fuzz/corpus/$name" || status=1
done
exit $status
