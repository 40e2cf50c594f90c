#!/usr/bin/env bash
# Start-up of the window, from the program's start to its first paint, against a bare Qt window
# of the same size (bench_bare_window), taking turns in the same run. Both end right after the
# first paint (PELORIX_EXIT_AFTER_FIRST_PAINT). The updater starts on a demo installation: it
# reads the settings and translates its captions from the language file as it always does.
#
#   startup.sh BUILD-DIR [ROUNDS] [offscreen|xvfb]   (default 21 rounds after one warm-up, offscreen)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
rounds="${2:-21}"
platform="${3:-offscreen}"
source "$root/bench/common/installation.sh"
bare="$build/bench/startup/bench_bare_window"

work="$(mktemp -d "${TMPDIR:-/tmp}/bench-startup-XXXXXX")"
trap 'stop_background; rm -rf "$work"' EXIT
layout_installation "$work/installation"
control_document "$work/installation" 0

case "$platform" in
    offscreen) export QT_QPA_PLATFORM=offscreen ;;
    xvfb)
        display=":$((100 + $$ % 400))"
        Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.out" 2>&1 &
        background_pids+=($!)
        export DISPLAY="$display" QT_QPA_PLATFORM=xcb
        for _ in $(seq 100); do
            xdpyinfo >/dev/null 2>&1 && break
            [ -e "/tmp/.X11-unix/X${display#:}" ] && break
            sleep 0.05
        done
        sleep 0.2
        ;;
    *) echo "usage: startup.sh BUILD-DIR [ROUNDS] [offscreen|xvfb]" >&2; exit 2 ;;
esac
export PELORIX_EXIT_AFTER_FIRST_PAINT=1

run() {
    local file="$1"
    shift
    if ! "$measure" "$file" "$@" >/dev/null 2>"$work/stderr"; then
        echo "bench: $* did not end after its first paint" >&2
        cat "$work/stderr" >&2
        exit 1
    fi
}

run "$work/warmup" "$work/installation/updater/PelorixUpdater"
run "$work/warmup" "$bare"
for _ in $(seq "$rounds"); do
    run "$work/updater" "$work/installation/updater/PelorixUpdater"
    run "$work/bare" "$bare"
done

updater_ms="$(cut -d' ' -f1 "$work/updater" | median)"
bare_ms="$(cut -d' ' -f1 "$work/bare" | median)"
awk -v u="$updater_ms" -v b="$bare_ms" -v r="$rounds" -v p="$platform" 'BEGIN {
    printf "Start-up to the first paint of the window (%s), %d rounds, medians:\n", p, r
    printf "  PelorixUpdater                 %8.1f ms\n", u * 1000
    printf "  bare Qt window                 %8.1f ms\n", b * 1000
    printf "  ratio updater / bare window    %8.2f   target <= 1.3\n", (b > 0 ? u / b : 0)
}'
