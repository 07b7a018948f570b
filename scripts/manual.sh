#!/usr/bin/env bash
# Builds the manual holvek_zek_config.pdf from docs/manual.md. The window pictures are
# taken afresh by zekshot against zeksim inside a private network namespace, so they
# show the program as it is built; where no namespace can be made, the pictures kept in
# docs/ stand in. Arguments: the build directory and the PDF to write.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)

if [ "${1:-}" = "--pictures-inside" ]; then
  build=$2
  out=$3
  start=$(mktemp -d)
  trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$start"' EXIT
  "$build/src/sim/zeksim" --modules 6 --software-info >"$start/zeksim.log" 2>&1 &
  for _ in $(seq 200); do grep -q '^zeksim: ' "$start/zeksim.log" && break; sleep 0.05; done
  cp "$top"/resources/*.ini "$start"/
  cd "$start"
  shot() { "$build/src/tools/zekshot" --modules 6 --interface 127.0.0.1 "$@" >/dev/null; }
  shot --output "$out/compact-view.png"
  shot --extended --output "$out/extended-view.png"
  shot --about --output "$out/about.png"
  exit 0
fi

build=$1
pdf=$2
pictures=$(dirname "$pdf")/manual-pictures
mkdir -p "$pictures"
export QT_QPA_PLATFORM=offscreen
# The pictures' programs may be sanitizer builds: their leak report is no reason to stop.
export ASAN_OPTIONS=detect_leaks=0
if ! unshare -rn true 2>/dev/null ||
  ! "$top/scripts/netns-run.sh" "$0" --pictures-inside "$build" "$pictures" 2>"$pictures/errors.log"; then
  echo "manual: no fresh window pictures (see $pictures/errors.log); using those in docs/" >&2
  rm -f "$pictures"/*.png
fi
"$build/src/tools/zekmanual" --pictures "$pictures" --pictures "$top/docs" "$top/docs/manual.md" "$pdf"
