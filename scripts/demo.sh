#!/usr/bin/env bash
# The demo command: builds the configurator and the simulated module fleet, then runs
# both inside a private network namespace, so the configurator's interface list holds
# only the namespace's addresses and nothing leaves the machine.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/deps.sh

cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DZEK_BENCH=OFF >/dev/null
cmake --build build/release -j "$(nproc)"

exec scripts/netns-run.sh scripts/demo-inside.sh "$top/build/release" "$top/build/demo"
