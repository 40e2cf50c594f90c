#!/usr/bin/env bash
# A full headless update with a language file of 20 MB (installed, and the one of the release),
# against the same update with the demo's language file (90 KB), taking turns in the same run.
# The large file holds the demo's texts after some 200,000 further sections, so a lookup that
# searched the file would have to pass them all.
#
#   language.sh BUILD-DIR [ROUNDS] [UPDATER]   (ROUNDS after one warm-up round, default 3;
#                                               UPDATER another build of the updater to measure)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
rounds="${2:-3}"
source "$root/bench/common/installation.sh"
[ -n "${3:-}" ] && updater="$(realpath "$3")"

work="$(mktemp -d "${TMPDIR:-/tmp}/bench-language-XXXXXX")"
trap 'stop_background; [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"' EXIT
awk 'BEGIN {
    for (i = 1; size < 20 * 1024 * 1024; ++i) {
        line = sprintf("[Fülltext %07d]\r\nDE=Ein Text, der nur den Platz einer Übersetzung einnimmt %d\r\nEN=A text that only takes the room of a translation %d\r\n", i, i, i)
        printf "%s", line
        size += length(line)
    }
}' >"$work/large.ini"
cat "$root/tools/demo/language.ini" >>"$work/large.ini"
"$tools/update-server/pelorix-update-server" write-release "$work/release" \
    --language-source "$work/large.ini" >/dev/null
"$tools/update-server/pelorix-update-server" write-release "$work/release-demo" \
    --language-source "$root/tools/demo/language.ini" >/dev/null

# update KIND: a full update with the demo's or the large language file; appends
# "WALL WAITED" to $work/samples-KIND.
update() {
    stop_background
    rm -rf "$work/served"
    cp -r "$work/release" "$work/served"
    if [ "$1" = demo ]; then
        cp "$work/release-demo/Updater/Language.ini" "$work/served/Updater/Language.ini"
    fi
    serve_release "$work/served"
    layout_installation "$work/installation"
    control_document "$work/installation" 0
    cp "$updater" "$work/installation/updater/PelorixUpdater"
    if [ "$1" = large ]; then
        ansi <"$work/large.ini" >"$work/installation/app/Language.ini"
    fi
    local status=0
    rm -f "$work/$1.measure"  # the measurement is appended to the file
    PELORIX_UPDATE_SERVER="$server_address/Updater" "$measure" "$work/$1.measure" \
        env PELORIX_BENCH_TRACE="$work/$1.trace" LD_PRELOAD="$wait_trace" \
        "$work/installation/updater/PelorixUpdater" --unattended >"$work/$1.out" 2>&1 ||
        status=$?
    if [ "$status" != 0 ] || ! grep -q "Update erfolgreich ausgeführt." "$work/$1.out" ||
        ! cmp -s "$work/served/Updater/Language.ini" "$work/installation/app/Language.ini"; then
        echo "bench: the update with the $1 language file did not run through (status $status)" >&2
        cat "$work/$1.out" >&2
        exit 1
    fi
    echo "$(cut -d' ' -f1 "$work/$1.measure") $(awk '$1 == "wait" { print $2 }' "$work/$1.trace")" \
        >>"$work/samples-$2-$1"
}

update demo warmup
update large warmup
for round in $(seq "$rounds"); do
    update demo counted
    update large counted
done

median_of() { cut -d' ' -f"$2" "$work/samples-counted-$1" | median; }
net_median() { awk '{ print $1 - $2 }' "$work/samples-counted-$1" | median; }
awk -v d="$(median_of demo 1)" -v l="$(median_of large 1)" -v dn="$(net_median demo)" \
    -v ln="$(net_median large)" -v n="$rounds" -v size="$(stat -c %s "$work/large.ini")" 'BEGIN {
    printf "Full headless update, language file of %.1f MB against the demo'"'"'s (%d rounds, medians):\n", size / 1048576, n
    printf "  wall time:             demo %8.1f ms   large %8.1f ms   ratio %5.2f   target <= 1.2\n", d * 1000, l * 1000, l / d
    printf "  less the traced waits: demo %8.1f ms   large %8.1f ms   ratio %5.2f\n", dn * 1000, ln * 1000, ln / dn
}'
