#!/usr/bin/env bash
# Runs inside the demo's private network namespace: starts a fleet of simulated
# modules, lists them with a single search, then shows the configurator against them.
# Without a display the configurator runs under Xvfb and a picture of it is written.
set -euo pipefail
build=$1
out=$2
mkdir -p "$out"
log="$out/zeksim.log"
pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

"$build/src/sim/zeksim" --modules 6 >"$log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  grep -q '^zeksim: ' "$log" && break
  kill -0 "${pids[0]}" 2>/dev/null || { cat "$log"; exit 1; }
  sleep 0.1
done
echo "--- $(head -n 1 "$log")"
echo "--- one search from 127.0.0.1:"
"$build/src/ctl/zekctl" search --from 127.0.0.1

# The configurator runs in a start directory of its own, with the shipped language and
# settings files and the manual.
start="$out/start"
mkdir -p "$start"
cp -n "$(dirname "$0")"/../resources/*.ini "$start"/ 2>/dev/null || true
# The manual, so that Help > Manual opens the start directory's copy.
cp "$build/holvek_zek_config.pdf" "$start"/ 2>/dev/null || true
cd "$start"

if [ -n "${DISPLAY:-}" ] && [ -z "${ZEK_DEMO_HEADLESS:-}" ]; then
  echo "--- starting zekconfig (close its window to end the demo)"
  "$build/src/gui/zekconfig"
else
  exec 3>"$out/display"
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp >"$out/xvfb.log" 2>&1 &
  pids+=($!)
  for _ in $(seq 100); do [ -s "$out/display" ] && break; sleep 0.1; done
  export DISPLAY=":$(cat "$out/display")"
  echo "--- no display: zekconfig under Xvfb on $DISPLAY"
  "$build/src/tools/zekshot" --modules 6 --interface 127.0.0.1 --output "$out/zekconfig.png"
fi
