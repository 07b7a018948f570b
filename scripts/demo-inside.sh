#!/usr/bin/env bash
# Runs inside the demo's private network namespace: starts a fleet of simulated
# modules, waits until it listens, then searches for it.
set -euo pipefail
build=$1
log=$(mktemp)
"$build/src/sim/zeksim" --modules 6 >"$log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -f "$log"' EXIT
for _ in $(seq 100); do
  grep -q '^zeksim: ' "$log" && break
  if ! kill -0 $sim 2>/dev/null; then cat "$log"; exit 1; fi
  sleep 0.1
done
echo "--- fleet: $(head -n 1 "$log")"
"$build/src/probe/zekprobe" --from 127.0.0.1
