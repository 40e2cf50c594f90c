#!/usr/bin/env bash
# The downloads of a full headless update through a simulated line across the internet (a
# proxy of our own on 127.0.0.1: a round trip per new connection, half a round trip per
# direction for every byte, one bandwidth per direction shared by all connections), against
# curl fetching the same sixteen files through the same proxy over one connection, round after
# round in the same run, at two lines.
#
#   wan.sh BUILD-DIR [ROUNDS] [UPDATER]   (ROUNDS after one warm-up round, default 3; UPDATER
#                                          another build of the updater to measure, default the
#                                          one in BUILD-DIR)
#
# The updater's download phase runs from its first "Lade ..." status line to the "OK" after
# the language file (times taken by the preloaded tracer); curl's time is its whole process.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
rounds="${2:-3}"
source "$root/bench/common/installation.sh"
[ -n "${3:-}" ] && updater="$(realpath "$3")"

work="$(mktemp -d "${TMPDIR:-/tmp}/bench-wan-XXXXXX")"
trap 'stop_background; rm -rf "$work"' EXIT
write_release "$work/release"
serve_release "$work/release"
server_port="${server_address##*:}"

# through_line ROUND-TRIP-MS MEGABITS: starts the proxy and sets $line_address.
through_line() {
    local out="$work/proxy-$1-$2.out"
    "$build/bench/wan/bench_link_proxy" --target-port "$server_port" --round-trip-ms "$1" \
        --megabits-per-second "$2" --lifetime-seconds 900 >"$out" 2>&1 &
    background_pids+=($!)
    line_address="$(listening_address "$out" "the line proxy")"
}

# status_time TRACE PATTERN AFTER: when the first status piece matching PATTERN (AFTER=0) or
# the piece after it (AFTER=1) was written.
status_time() {
    awk -v pattern="$2" -v after="$3" '$1 == "status" {
        if (found) { print $2; exit }
        text = substr($0, index($0, $3))
        if (text ~ pattern) { if (!after) { print $2; exit } found = 1 }
    }' "$1"
}

run_round() {
    local out="$work/round-$1-$2"
    mkdir -p "$out"
    layout_installation "$work/installation"
    control_document "$work/installation" 0
    cp "$updater" "$work/installation/updater/PelorixUpdater"
    local status=0
    PELORIX_UPDATE_SERVER="$line_address/Updater" PELORIX_BENCH_TRACE="$out/trace" \
        LD_PRELOAD="$wait_trace" "$work/installation/updater/PelorixUpdater" --unattended \
        >"$out/stdout" 2>"$out/stderr" || status=$?
    if [ "$status" != 0 ] || ! grep -q "Update erfolgreich ausgeführt." "$out/stdout"; then
        echo "bench: the update did not run through (status $status)" >&2
        cat "$out/stdout" "$out/stderr" >&2
        exit 1
    fi
    rm -rf "$work/fetched"
    mkdir -p "$work/fetched"
    local arguments=() file name
    for file in "$work"/release/Updater/*; do
        name="$(basename "$file")"
        arguments+=(-o "$work/fetched/$name" "$line_address/Updater/$name")
    done
    "$measure" "$out/curl.measure" curl -sSf "${arguments[@]}"
    diff -r "$work/release/Updater" "$work/fetched" >/dev/null
    local start end
    start="$(status_time "$out/trace" "^Lade " 0)"
    end="$(status_time "$out/trace" "^Lade neue Sprachdatei" 1)"
    awk -v s="$start" -v e="$end" -v c="$(cut -d' ' -f1 "$out/curl.measure")" \
        'BEGIN { printf "%.6f %.6f %.6f\n", e - s, c, (e - s) / c }' >>"$work/samples-$2"
}

# measure_line ROUND-TRIP-MS MEGABITS
measure_line() {
    stop_background
    serve_release "$work/release"
    server_port="${server_address##*:}"
    through_line "$1" "$2"
    local label="$1-$2" round
    run_round 0 "warmup-$label"
    for round in $(seq "$rounds"); do
        run_round "$round" "$label"
    done
    column_median() { cut -d' ' -f"$1" "$work/samples-$label" | median; }
    awk -v rtt="$1" -v mbit="$2" -v u="$(column_median 1)" -v c="$(column_median 2)" \
        -v r="$(column_median 3)" -v n="$rounds" 'BEGIN {
        printf "%3d ms round trip, %3d Mbit/s (%d rounds, medians): updater downloads %8.1f ms, curl %8.1f ms, ratio %5.2f   target <= 1.05\n",
            rtt, mbit, n, u * 1000, c * 1000, r }'
}

echo "Downloads of a full headless update (demo release, 16 files) over a simulated line:"
measure_line 60 20
measure_line 150 100
