#!/usr/bin/env bash
# Runs a command inside a new, private network namespace: only loopback is up, with
# the test addresses 192.0.2.1/24 and 198.51.100.1/24 (documentation ranges) added to
# it. Nothing sent in there can reach a real network. Refuses to run the command
# when no namespace can be made.
set -euo pipefail
if [ "${1:-}" = "--inside" ]; then
  shift
  ip link set lo up
  ip addr add 192.0.2.1/24 dev lo
  ip addr add 198.51.100.1/24 dev lo
  exec "$@"
fi
if ! unshare -rn true 2>/dev/null; then
  echo "netns-run: cannot create a private network namespace (unshare -rn failed)." >&2
  echo "netns-run: refusing to run '$*' where it could reach a real network." >&2
  exit 77
fi
exec unshare -rn "$0" --inside "$@"
