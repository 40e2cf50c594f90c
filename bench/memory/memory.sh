#!/usr/bin/env bash
# Peak memory of a full headless update whose release has one file of 200 MB (PXHelp.chm),
# against the same update with the demo's release (that file 1.4 MB), in the same run. The
# download streams to the target file as it arrives, so the peak must not grow with the file.
#
#   memory.sh BUILD-DIR [MEGABYTES]     (default 200)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
megabytes="${2:-200}"
source "$root/bench/common/installation.sh"

work="$(mktemp -d "${TMPDIR:-/tmp}/bench-memory-XXXXXX")"
trap 'stop_background; rm -rf "$work"' EXIT
write_release "$work/small"
write_release "$work/large"
head -c "$((megabytes * 1024 * 1024))" /dev/urandom >"$work/large/Updater/PXHelp.chm"

# update NAME: a full update from release NAME; its measurement lands in $work/NAME.measure.
update() {
    stop_background
    serve_release "$work/$1"
    export PELORIX_UPDATE_SERVER="$server_address/Updater"
    layout_installation "$work/installation"
    control_document "$work/installation" 0
    local status=0
    "$measure" "$work/$1.measure" "$work/installation/updater/PelorixUpdater" --unattended \
        >"$work/$1.out" 2>&1 || status=$?
    if [ "$status" != 0 ] ||
        ! cmp -s "$work/$1/Updater/PXHelp.chm" "$work/installation/app/PXHelp.chm"; then
        echo "bench: the update from the $1 release did not run through (status $status)" >&2
        cat "$work/$1.out" >&2
        exit 1
    fi
}

update small
update large
peak() { cut -d' ' -f4 "$work/$1.measure"; }
awk -v s="$(peak small)" -v l="$(peak large)" -v mb="$megabytes" 'BEGIN {
    printf "Peak resident memory of a full headless update (maximum RSS):\n"
    printf "  demo release (PXHelp.chm 1.4 MB)       %7.1f MB\n", s / 1024
    printf "  PXHelp.chm of %d MB                   %7.1f MB\n", mb, l / 1024
    printf "  ratio large / small                    %7.2f   target: no growth (<= 1.05)\n",
        (s > 0 ? l / s : 0)
}'
