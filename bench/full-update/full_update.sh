#!/usr/bin/env bash
# A full headless update over loopback with the demo's release, against curl fetching the same
# sixteen files from the same server plus the sqlite3 shell running the same migration
# statements, round after round in the same run.
#
#   full_update.sh BUILD-DIR [ROUNDS]     (ROUNDS counted after one warm-up round; default 7)
#
# The updater's time is its wall time less the waits it is told to make (WaitSeconds: 2 + 1 +
# 1 + 1 seconds), which a preloaded tracer (bench/common/wait_trace.cpp) measures as slept. The
# services report themselves stopped at once, so no supervising service's delay is counted;
# the 10 ms sleep of each poll pass is the program's own and is counted. The status lines'
# times split the updater's time into phases.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "$1" && pwd)"
rounds="${2:-7}"
source "$root/bench/common/installation.sh"

work="$(mktemp -d "${TMPDIR:-/tmp}/bench-update-XXXXXX")"
trap 'stop_background; rm -rf "$work"' EXIT
write_release "$work/release"
serve_release "$work/release"
export PELORIX_UPDATE_SERVER="$server_address/Updater"

# The statements of the migration as SQLite receives them, recorded on a fresh sample database.
mkdir -p "$work/statements"
"$tools/sample-db/pelorix-sample-db" "$work/statements/Pelorix.mdb" >/dev/null
"$build/bench/full-update/bench_update_statements" "$work/statements/Pelorix.mdb" \
    "$work/statements" >"$work/statements.sql"

curl_arguments=()
for file in "$work"/release/Updater/*; do
    name="$(basename "$file")"
    curl_arguments+=(-o "$work/fetched/$name" "$server_address/Updater/$name")
done

# time_of TRACE PATTERN [NTH]: when the NTH status piece matching PATTERN (an awk regular
# expression) was written; NTH counts from 1.
time_of() {
    awk -v pattern="$2" -v nth="${3:-1}" \
        '$1 == "status" { text = substr($0, index($0, $3)); if (text ~ pattern && ++n == nth) { print $2; exit } }' "$1"
}
# time_after TRACE PATTERN: when the piece after the first one matching PATTERN was written.
time_after() {
    awk -v pattern="$2" \
        '$1 == "status" { if (found) { print $2; exit } text = substr($0, index($0, $3)); if (text ~ pattern) found = 1 }' "$1"
}

run_round() {
    local round="$1" out="$work/round-$1"
    mkdir -p "$out"
    layout_installation "$work/installation"
    control_document "$work/installation" 0
    local status=0
    "$measure" "$out/updater.measure" env PELORIX_BENCH_TRACE="$out/trace" LD_PRELOAD="$wait_trace" \
        "$work/installation/updater/PelorixUpdater" --unattended >"$out/stdout" 2>"$out/stderr" ||
        status=$?
    if [ "$status" != 0 ] || ! grep -q "Update erfolgreich ausgeführt." "$out/stdout"; then
        echo "bench: round $round: the update did not run through (status $status)" >&2
        cat "$out/stdout" "$out/stderr" >&2
        exit 1
    fi
    rm -rf "$work/fetched" "$work/reference.mdb"
    mkdir -p "$work/fetched"
    "$measure" "$out/curl.measure" curl -sSf "${curl_arguments[@]}"
    "$tools/sample-db/pelorix-sample-db" "$work/reference.mdb" >/dev/null
    # The probe of the table the migration creates fails, as it does in the program, so the
    # shell ends with status 1; what counts is that the database was migrated.
    "$measure" "$out/sqlite3.measure" sh -c 'exec sqlite3 "$0" <"$1"' \
        "$work/reference.mdb" "$work/statements.sql" >/dev/null 2>&1 || true
    if [ "$(sqlite3 "$work/reference.mdb" "SELECT count(*) FROM tblTonerFlow")" != 0 ]; then
        echo "bench: round $round: the sqlite3 shell did not migrate the database" >&2
        exit 1
    fi

    local wall waited first stopped checked migrated loading loaded
    wall="$(cut -d' ' -f1 "$out/updater.measure")"
    waited="$(awk '$1 == "wait" { print $2 }' "$out/trace")"
    first="$(time_of "$out/trace" "^Beende den PelorixService")"
    checked="$(time_of "$out/trace" "^Überprüfe Datenbank")"
    migrated="$(time_after "$out/trace" "^Überprüfe Datenbank")"
    loading="$(time_of "$out/trace" "^Lade ")"
    loaded="$(time_after "$out/trace" "^Lade neue Sprachdatei")"
    awk -v wall="$wall" -v waited="$waited" -v first="$first" -v checked="$checked" \
        -v migrated="$migrated" -v loading="$loading" -v loaded="$loaded" \
        -v curl="$(cut -d' ' -f1 "$out/curl.measure")" \
        -v sqlite="$(cut -d' ' -f1 "$out/sqlite3.measure")" 'BEGIN {
            net = wall - waited
            printf "%.6f %.6f %.6f %.6f %.6f %.6f %.6f %.6f %.6f %.6f\n", net, waited, curl, sqlite,
                curl + sqlite, checked - first, migrated - checked, loaded - loading,
                (curl + sqlite > 0 ? net / (curl + sqlite) : 0),
                net - (checked - first) - (migrated - checked) - (loaded - loading)
        }' >>"$work/samples-$2"
}

run_round 0 warmup
for round in $(seq "$rounds"); do
    run_round "$round" counted
done

column_median() { cut -d' ' -f"$1" "$work/samples-counted" | median; }
ms() { awk -v s="$1" 'BEGIN { printf "%8.1f ms", s * 1000 }'; }
net="$(column_median 1)"
reference="$(column_median 5)"
echo "Full headless update over loopback (demo release, 16 files), $rounds rounds, medians:"
echo "  updater, wall time less the traced waits  $(ms "$net")"
echo "    waits traced (WaitSeconds, 5 s asked)   $(ms "$(column_median 2)")"
echo "    service stop (2 poll passes)            $(ms "$(column_median 6)")"
echo "    migration script                        $(ms "$(column_median 7)")"
echo "    downloads (16 files)                    $(ms "$(column_median 8)")"
echo "    the rest: start, replacement, 8 registrar starts, completion, exit  $(ms "$(column_median 10)")"
echo "  reference: curl (16 files) + sqlite3      $(ms "$reference")"
echo "    curl                                    $(ms "$(column_median 3)")"
echo "    sqlite3, $(grep -c ';$' "$work/statements.sql") statements                 $(ms "$(column_median 4)")"
echo "  ratio updater / reference (median of rounds) $(column_median 9 | awk '{ printf "%6.2f", $1 }')   target <= 1.15"
