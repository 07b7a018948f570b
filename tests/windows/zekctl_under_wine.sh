#!/usr/bin/env bash
# zekctl.exe under wine against the native zeksim, inside the test namespace (run it through
# scripts/netns-run.sh): the interface list, a search, a verified set, a read, the PC clock in
# three zones and a refused connection, each answer checked against what the fleet file and
# the namespace say. Prints "N passed, N failed"; fails when any check did.
#   usage: zekctl_under_wine.sh ZEKCTL_EXE ZEKSIM
set -uo pipefail
exe=$1 sim=$2
# Wine asks its server and the services it started for the network's interfaces: a server
# still left from a run in another namespace would answer with that namespace's.
wineserver -k 2>/dev/null
wineserver -w
work=$(mktemp -d)
trap 'kill "$simPid" 2>/dev/null; wait 2>/dev/null; rm -rf "$work"' EXIT

cat >"$work/fleet.ini" <<'EOF'
[module]
mac = 02:5A:45:00:00:01
serial = 4711
ip = 127.0.0.2
name = "Zähler 1"
port = 10001
mode = 0
[module]
mac = 02:5A:45:00:00:02
serial = 4712
ip = 127.0.0.3
port = 10002
refuse = yes
ignore-set = yes
EOF
mkfifo "$work/sim.out"
"$sim" --config "$work/fleet.ini" >"$work/sim.out" 2>&1 &
simPid=$!
exec 3<"$work/sim.out"
# zeksim says its first line once it listens; the rest is drained so that it never blocks.
read -r -t 30 -u 3 ready || true
case ${ready:-} in zeksim:*) ;; *) echo "zeksim did not start"; exit 1 ;; esac
cat <&3 >/dev/null &

passed=0 failed=0
# check NAME EXIT_CODE PATTERN -- ZEKCTL_ARGS...: the run's exit code, and a line of its
# output that matches the grep pattern (or, for "=TEXT", the whole output, lines joined by "|").
check() {
    local name=$1 code=$2 expect=$3 out rc found
    shift 4
    out=$(wine "$exe" "$@" 2>&1)
    rc=$?
    out=${out//$'\r'/}
    if [ "${expect:0:1}" = "=" ]; then
        [ "${out//$'\n'/|}" = "${expect:1}" ] && found=1
    else
        grep -q -- "$expect" <<<"$out" && found=1
    fi
    if [ "$rc" -eq "$code" ] && [ -n "${found:-}" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAILED: %s (exit %s, wanted %s and "%s"):\n%s\n' "$name" "$rc" "$code" "$expect" "$out"
    fi
}
from=(--from 127.0.0.1 --wait 1000)
# The PC clock's UTC date and weekday as Linux tells them, around the midnight the run may cross.
today="($(date -u +%w)) $(date -u +%d.%m.%y)\|($(date -u -d '+2 min' +%w)) $(date -u -d '+2 min' +%d.%m.%y)"

check "the namespace's addresses, loopback last" 0 '=1: 192.0.2.1|2: 198.51.100.1|3: 127.0.0.1' -- interfaces
if [ "$failed" -ne 0 ]; then
  echo "wine does not see the test namespace's interfaces: nothing is sent"
  exit 1
fi
check "every command on its own help line" 0 '^  backup  *Print' -- --help
check "search lists the first module" 0 '^02 5A 45 00 00 01,4711,127.0.0.2,255.0.0.0,127.0.0.1,off,Zähler 1,10001,0$' \
    -- search --format csv "${from[@]}"
check "search lists the second module" 0 '^02 5A 45 00 00 02,4712,127.0.0.3,' -- search --format csv "${from[@]}"
check "set, verified by a new search" 0 'name "Kühlraum": took' -- set 02:5a:45:00:00:01 --ip 127.0.0.40 --name Kühlraum "${from[@]}"
check "read at the new address" 0 '^mac:  *02 5A 45 00 00 01$' -- read 127.0.0.40 "${from[@]}"
# Standard offsets whatever the season: one of the two zones keeps summer time most of the year.
TZ=Europe/Berlin check "the PC's UTC clock and Berlin's standard offset" 0 \
    "clock \"[0-2][0-9]:[0-5][0-9]:[0-5][0-9] \($today\) (60)\": took" -- clock 127.0.0.40 --from-pc "${from[@]}"
TZ=Australia/Sydney check "Sydney's standard offset" 0 ' (600)": took' -- clock 127.0.0.40 --from-pc "${from[@]}"
check "a set the module ignores" 1 'port "9000": NOT TAKEN' -- set 127.0.0.3 --port 9000 "${from[@]}"
check "a refused connection" 1 'cannot connect to 127.0.0.3:10002: .*(Winsock:10061)$' -- read 127.0.0.3 "${from[@]}"

echo "zekctl under wine: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
