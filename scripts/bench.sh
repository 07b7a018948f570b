#!/usr/bin/env bash
# Builds a release build and runs the benchmarks against the simulator inside a private
# network namespace, printing one table of figures. Figures only: nothing fails on time.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEK_BENCH=ON -DBUILD_TESTING=OFF >/dev/null
benches=(bench_gui_search bench_gui_session bench_gui_flood bench_read_sequence bench_ctl_fleet)
cmake --build build/release -j "$(nproc)" --target zeksim zekctl "${benches[@]}" >/dev/null

cpu=$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1)
os=$(. /etc/os-release && echo "$PRETTY_NAME")
echo "Release build, $(nproc) cores ($cpu), $(awk '/MemTotal/ {printf "%.0f GB", $2 / 1048576}' /proc/meminfo), $os, $(date -u +%Y-%m-%d)"
echo
echo "| Figure | Value |"
echo "|---|---|"
for bench in "${benches[@]}"; do
  scripts/netns-run.sh "build/release/bench/$bench" 2>/dev/null | grep '^|' || echo "| $bench | failed |"
done
