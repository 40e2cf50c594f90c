# Sourced by the benchmark scripts: lays out Pelorix installations as scripts/demo does and runs
# the stand-in update server and supervising service. Needs $build (the build folder) and $root
# (the repository); every process started here is ended when the script exits.

tools="$build/tools"
updater="$build/PelorixUpdater"
measure="$build/bench/common/bench_measure"
wait_trace="$build/bench/common/libbench_wait_trace.so"
background_pids=()

stop_background() {
    local pid
    for pid in "${background_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    background_pids=()
}
trap stop_background EXIT

ansi() { iconv -f UTF-8 -t WINDOWS-1252 "$@"; }

# write_release DIR: the demo's new release in DIR/Updater.
write_release() {
    "$tools/update-server/pelorix-update-server" write-release "$1" \
        --language-source "$root/tools/demo/language.ini" >/dev/null
}

# serve_release DIR: serves DIR on 127.0.0.1 and sets $server_address.
serve_release() {
    local out="$1.server.out"
    : >"$out"
    "$tools/update-server/pelorix-update-server" serve --root "$1" --port 0 --quiet >"$out" 2>&1 &
    background_pids+=($!)
    server_address="$(listening_address "$out" "the update server")"
}

# The address a background program of ours announced with "listening on ..." in its output file.
listening_address() {
    local _ address
    for _ in $(seq 100); do
        address="$(sed -n 's/^listening on //p' "$1" | head -1)"
        [ -n "$address" ] && echo "$address" && return 0
        sleep 0.05
    done
    echo "bench: $2 did not start" >&2
    exit 1
}

# layout_installation DIR: an old installation at database version 6.1.0, as in the demo, and
# the environment that points the updater at it. UPDATE_LOG (default 1) is "UpdateLog".
layout_installation() {
    local dir="$1" program library document
    rm -rf "$dir"
    mkdir -p "$dir"/{appdata/Pelorix,appdata/OrvaneTrellisService,app,system,data,registrar,updater}
    cp "$updater" "$dir/updater/"
    cp "$tools/regsvr32/regsvr32" "$dir/registrar/"
    printf '[ServiceSettings]\r\nDataBasePath=%s\r\nAppPath=%s\r\n[Settings]\r\nUpdateLog=%s\r\nLanguage=DE\r\nLearningLanguage=EN\r\n' \
        "$dir/data" "$dir/app" "${UPDATE_LOG:-1}" | ansi >"$dir/appdata/Pelorix/Pelorix.ini"
    ansi <"$root/tools/demo/language.ini" >"$dir/app/Language.ini"
    for program in Pelorix PelorixService HavrelService PelorixHelper PXWebServer Sorvand PXAS Reports; do
        printf '#!/bin/sh\necho "old %s"\n' "$program" >"$dir/app/$program.exe"
        chmod 755 "$dir/app/$program.exe"
    done
    for document in PXAS_Dokumentation.pdf PXHelp.chm PXHilfe.chm; do
        echo "old $document" >"$dir/app/$document"
    done
    mkdir -p "$dir/app/PelorixDokumentation/Bilder" "$dir/app/web/css"
    echo "old handbook" >"$dir/app/PelorixDokumentation/Handbuch.html"
    echo "old picture" >"$dir/app/PelorixDokumentation/Bilder/logo.png"
    echo "<html>old</html>" >"$dir/app/web/index.html"
    for library in TobrinDLL MireldaDLL HavrelDLL Quennel braskDLL; do
        echo "old $library" >"$dir/system/$library.dll"
        echo "$dir/system/$library.dll" >>"$dir/registrar/registry.txt"
    done
    "$tools/sample-db/pelorix-sample-db" "$dir/data/Pelorix.mdb" >/dev/null
    export PELORIX_COMMON_APPDATA="$dir/appdata"
    export PELORIX_SYSTEM_FOLDER="$dir/system"
    export PELORIX_COM_REGISTRY="$dir/registrar/registry.txt"
    export PATH="$dir/registrar:$base_path"
}
base_path="$PATH"

# control_document DIR STATUS: the supervising service's control document with both services
# at current status STATUS ("1" running, "0" stopped).
control_document() {
    printf '<?xml version="1.0"?>\n<processes>\n' >"$1/appdata/OrvaneTrellisService/OTRS.xml"
    local service
    for service in PelorixService HavrelService; do
        printf '  <process name="%s">\n    <targetstatus>1</targetstatus>\n    <currentstatus>%s</currentstatus>\n  </process>\n' \
            "$service" "$2" >>"$1/appdata/OrvaneTrellisService/OTRS.xml"
    done
    printf '</processes>\n' >>"$1/appdata/OrvaneTrellisService/OTRS.xml"
}

# supervise DIR [SUPERVISOR-OPTIONS...]: runs the stand-in supervising service on DIR's control
# document until the script ends (or stop_background).
supervise() {
    local dir="$1"
    shift
    "$tools/supervisor/pelorix-supervisor" --document "$dir/appdata/OrvaneTrellisService/OTRS.xml" \
        "$@" >"$dir/supervisor.out" 2>&1 &
    background_pids+=($!)
    local _
    for _ in $(seq 100); do
        grep -q "^ready" "$dir/supervisor.out" 2>/dev/null && return 0
        sleep 0.05
    done
    echo "bench: the supervising service did not start" >&2
    exit 1
}

# median: the median of the numbers on standard input, one a line.
median() {
    sort -g | awk '{ v[NR] = $1 } END { if (NR == 0) print 0; else print v[int((NR + 1) / 2)] }'
}
