#!/usr/bin/env bash
# The downloads of a full headless update through a simulated line across the internet (a
# proxy of our own on 127.0.0.1: a round trip per new connection, half a round trip per
# direction for every byte, one bandwidth per direction shared by all connections), against
# curl fetching the same sixteen files through the same proxy over one connection, round after
# round in the same run, at two lines. The release is signed and its key trusted, as a real
# one is. Each round also runs the same release again with --if-needed (the whole process,
# against the same curl); at the end one update is cut off in the middle of the largest file
# and run again, and the bytes the second run fetched are held against the release's.
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
    cp "$work/release/key/PelorixUpdater.pub" "$work/installation/updater/"
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
    # The same release again: a current installation fetches the signed list and stops.
    PELORIX_UPDATE_SERVER="$line_address/Updater" "$measure" "$out/if-needed.measure" \
        "$work/installation/updater/PelorixUpdater" --unattended --if-needed \
        >"$out/if-needed.stdout" 2>&1
    if ! grep -q "the installation is current" "$out/if-needed.stdout"; then
        echo "bench: the run with --if-needed did not find the installation current" >&2
        cat "$out/if-needed.stdout" >&2
        exit 1
    fi
    local start end
    start="$(status_time "$out/trace" "^Lade " 0)"
    end="$(status_time "$out/trace" "^Lade neue Sprachdatei" 1)"
    awk -v s="$start" -v e="$end" -v c="$(cut -d' ' -f1 "$out/curl.measure")" \
        -v i="$(cut -d' ' -f1 "$out/if-needed.measure")" \
        'BEGIN { printf "%.6f %.6f %.6f %.6f %.6f\n", e - s, c, (e - s) / c, i, i / c }' \
        >>"$work/samples-$2"
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
        -v r="$(column_median 3)" -v i="$(column_median 4)" -v ir="$(column_median 5)" \
        -v n="$rounds" 'BEGIN {
        printf "%3d ms round trip, %3d Mbit/s (%d rounds, medians): curl, one connection %8.1f ms\n", rtt, mbit, n, c * 1000
        printf "    full release:               updater downloads %8.1f ms, ratio %5.2f   target <= 0.60\n", u * 1000, r
        printf "    same release, --if-needed:  whole run         %8.1f ms, ratio %5.2f   target <= 0.15\n", i * 1000, ir }'
}

# The release's bytes, and those a second run fetched after the first was cut off in the
# middle of the largest file (PXHelp.chm): what a logging server sent it, bodies only.
measure_resume() {
    stop_background
    local largest size cut
    largest="$(ls -S "$work/release/Updater" | head -1)"
    size="$(stat -c %s "$work/release/Updater/$largest")"
    cut=$((size / 2))
    "$tools/update-server/pelorix-update-server" serve --root "$work/release" --port 0 --quiet \
        --close "$largest:$cut" >"$work/cut.server.out" 2>&1 &
    background_pids+=($!)
    local cut_address status=0
    cut_address="$(listening_address "$work/cut.server.out" "the cutting server")"
    layout_installation "$work/installation"
    control_document "$work/installation" 0
    cp "$updater" "$work/installation/updater/PelorixUpdater"
    cp "$work/release/key/PelorixUpdater.pub" "$work/installation/updater/"
    PELORIX_UPDATE_SERVER="$cut_address/Updater" "$work/installation/updater/PelorixUpdater" \
        --unattended >"$work/cut.stdout" 2>&1 || status=$?
    [ "$status" = 7 ] || { echo "bench: the cut run ended with $status, not 7" >&2; exit 1; }
    "$tools/update-server/pelorix-update-server" serve --root "$work/release" --port 0 \
        >"$work/resume.server.out" 2>"$work/resume.server.log" &
    background_pids+=($!)
    local resume_address
    resume_address="$(listening_address "$work/resume.server.out" "the update server")"
    PELORIX_UPDATE_SERVER="$resume_address/Updater" "$work/installation/updater/PelorixUpdater" \
        --unattended >"$work/resume.stdout" 2>&1
    grep -q "Update erfolgreich ausgeführt." "$work/resume.stdout"
    local release_bytes fetched
    release_bytes="$(find "$work/release/Updater" -type f ! -name 'SHA256SUMS*' -printf '%s\n' |
        awk '{ sum += $1 } END { print sum }')"
    fetched="$(awk '$2 ~ /^\/Updater\// && $2 !~ /SHA256SUMS/ { sum += $4 } END { print sum + 0 }' \
        "$work/resume.server.log")"
    awk -v f="$fetched" -v r="$release_bytes" -v l="$largest" -v c="$cut" 'BEGIN {
        printf "A second run after a cut at byte %d of %s: fetched %d of the release'"'"'s %d bytes, %5.1f %%   target <= 60 %%\n", c, l, f, r, 100 * f / r }'
}

echo "Downloads of a full headless update (demo release, 16 files, signed) over a simulated line:"
measure_line 60 20
measure_line 150 100
measure_resume
