#!/usr/bin/env bash
# CPU time of the updater while it polls the control document for a service that never stops
# (the limit of 8 seconds), against one core. In the same run the same start-up without the
# poll (the confirmation answered Cancel) is measured, and its CPU and wall time are taken off,
# so that what remains is the poll's own share.
#
#   polling.sh BUILD-DIR [ROUNDS]     (default 3 rounds)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
rounds="${2:-3}"
source "$root/bench/common/installation.sh"

work="$(mktemp -d "${TMPDIR:-/tmp}/bench-polling-XXXXXX")"
trap 'stop_background; rm -rf "$work"' EXIT
layout_installation "$work/installation"
# Nobody answers the stop request: PelorixService keeps reporting "1".
control_document "$work/installation" 1

# run FILE EXPECTED-STATUS ARGUMENTS...
run() {
    local file="$1" expected="$2" status=0
    shift 2
    "$measure" "$file" "$work/installation/updater/PelorixUpdater" "$@" >/dev/null 2>&1 || status=$?
    if [ "$status" != "$expected" ]; then
        echo "bench: PelorixUpdater $* ended with status $status, not $expected" >&2
        exit 1
    fi
}

for _ in $(seq "$rounds"); do
    run "$work/start" 4 --headless
    run "$work/poll" 5 --unattended
done

# wall user system peak status: median wall time and median CPU time (user + system).
wall() { cut -d' ' -f1 "$1" | median; }
cpu() { awk '{ print $2 + $3 }' "$1" | median; }
awk -v pw="$(wall "$work/poll")" -v pc="$(cpu "$work/poll")" -v sw="$(wall "$work/start")" \
    -v sc="$(cpu "$work/start")" -v r="$rounds" 'BEGIN {
    share = (pw - sw > 0) ? (pc - sc) / (pw - sw) : 0
    printf "Polling the control document for a service that never stops, %d rounds, medians:\n", r
    printf "  run with the poll: wall %.2f s, CPU %.1f ms\n", pw, pc * 1000
    printf "  start-up only:     wall %.3f s, CPU %.1f ms\n", sw, sc * 1000
    printf "  poll: %.1f ms CPU in %.2f s = %.2f %% of one core   target < 5 %%\n", (pc - sc) * 1000,
        pw - sw, share * 100
}'
