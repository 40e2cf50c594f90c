#!/usr/bin/env bash
# check_package.sh BUILD-DIR
#
# Builds the Debian package from the build folder into a temporary folder and checks it: its
# name and version, exactly the files it should hold with their modes (none of the other
# stand-ins of tools/), the folder /etc/pelorix-updater/ for the release key (no key in it), the
# dependencies on the Qt libraries, the Qt SQL drivers, libcurl, pugixml and libsodium, the
# manual page, the changelog, every document a shipped document links to, the debug log's
# folder of a packaged build (PELORIX_LOG_FOLDER), and, where lintian is installed, that lintian
# finds neither error nor warning.
set -euo pipefail
build="$(cd "$1" && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/check-package-XXXXXX")"
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

if ! (cd "$work" && cpack --config "$build/CPackConfig.cmake" -B "$work/out") >"$work/cpack.log" 2>&1; then
    cat "$work/cpack.log" >&2
    echo "FAIL: cpack could not build the package" >&2
    exit 1
fi
packages=("$work"/out/*.deb)
if [ "${#packages[@]}" != 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "FAIL: expected one package, found: ${packages[*]}" >&2
    exit 1
fi
deb="${packages[0]}"

[ "$(dpkg-deb -f "$deb" Package)" = pelorix-updater ] || fail "package name $(dpkg-deb -f "$deb" Package)"
version="$(sed -n 's/^project(PelorixUpdater VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../CMakeLists.txt")"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "version $(dpkg-deb -f "$deb" Version), not $version"

# Regular files with their modes; folders are left out.
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6 }' | sort >"$work/files"
sort >"$work/expected" <<'FILES'
-rwxr-xr-x ./usr/bin/PelorixUpdater
-rwxr-xr-x ./usr/lib/pelorix-updater/regsvr32
-rw-r--r-- ./usr/share/applications/pelorix-updater.desktop
-rw-r--r-- ./usr/share/doc/pelorix-updater/README.md
-rw-r--r-- ./usr/share/doc/pelorix-updater/changelog.gz
-rw-r--r-- ./usr/share/doc/pelorix-updater/control-document-and-database.md
-rw-r--r-- ./usr/share/doc/pelorix-updater/copyright
-rw-r--r-- ./usr/share/doc/pelorix-updater/releases.md
-rw-r--r-- ./usr/share/doc/pelorix-updater/report.md
-rw-r--r-- ./usr/share/doc/pelorix-updater/report.schema.json
-rw-r--r-- ./usr/share/doc/pelorix-updater/unattended.md
-rw-r--r-- ./usr/share/doc/pelorix-updater/windows-build.md
-rw-r--r-- ./usr/share/doc/pelorix-updater/windows-window.png
-rw-r--r-- ./usr/share/doc/pelorix-updater/windows.md
-rw-r--r-- ./usr/share/man/man1/PelorixUpdater.1.gz
-rw-r--r-- ./usr/share/doc/pelorix-updater/examples/pelorix-update-windows.yml
-rw-r--r-- ./usr/share/doc/pelorix-updater/examples/pelorix-update.yml
FILES
if ! diff -u "$work/expected" "$work/files" >"$work/diff"; then
    fail "the package's files differ from the expected ones:"
    cat "$work/diff" >&2
fi

# The folder for the trusted release key is there, empty: the package ships no key.
dpkg-deb -c "$deb" | awk '$1 ~ /^d/ { print $6 }' | grep -qx "./etc/pelorix-updater/" ||
    fail "the package lacks the folder /etc/pelorix-updater/"

depends="$(dpkg-deb -f "$deb" Depends)"
for package in libqt6core6 libqt6widgets6 libqt6sql6 libqt6sql6-sqlite libqt6sql6-odbc libcurl4 \
    libpugixml1v5 libsodium23; do
    [[ ", $depends," == *", $package"[\ ,]* ]] || fail "Depends lacks $package: $depends"
done

# The desktop entry starts the program the package installs.
dpkg-deb --fsys-tarfile "$deb" | tar -xOf - ./usr/share/applications/pelorix-updater.desktop \
    >"$work/desktop"
grep -qx "Exec=PelorixUpdater" "$work/desktop" || fail "the desktop entry does not start PelorixUpdater"

dpkg-deb -x "$deb" "$work/root"
doc="$work/root/usr/share/doc/pelorix-updater"

# The manual page is the program's --help, and the changelog's latest entry is this version.
zcat "$work/root/usr/share/man/man1/PelorixUpdater.1.gz" | grep -- 'start\\-services' >/dev/null ||
    fail "the manual page does not describe --start-services"
zcat "$doc/changelog.gz" | sed -n 1p | grep -q "^pelorix-updater ($version) " ||
    fail "the changelog's latest entry is not version $version"

# A document a shipped document links to is shipped as well: `docs/FILE`, [..](docs/FILE) and
# [..](FILE) name it; the Ansible example lies in examples/.
for linked in $(grep -ho '`docs/[A-Za-z0-9_./-]\+`\|](\(docs/\)\?[A-Za-z0-9_./-]\+)' "$doc"/*.md |
    sed -e 's/^`docs\///' -e 's/^](\(docs\/\)\?//' -e 's/[`)]$//' | sort -u); do
    [ -e "$doc/$linked" ] || [ -e "$doc/examples/$(basename "$linked")" ] ||
        fail "a shipped document links to $linked, which the package lacks"
done

# A packaged build keeps its debug log in its own folder, which the package creates and removes.
log_folder="$(sed -n 's/^PELORIX_LOG_FOLDER:STRING=//p' "$build/CMakeCache.txt")"
if [ -n "$log_folder" ]; then
    grep -qaF "$log_folder" "$work/root/usr/bin/PelorixUpdater" ||
        fail "the program does not know its log folder $log_folder"
    dpkg-deb -e "$deb" "$work/control"
    grep -qF "install -d -m 0755 \"$log_folder\"" "$work/control/postinst" ||
        fail "postinst does not create $log_folder"
    grep -qF "rmdir --ignore-fail-on-non-empty \"$log_folder\"" "$work/control/postrm" ||
        fail "postrm does not remove $log_folder"
fi

if command -v lintian >/dev/null; then
    lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 ||
        fail "lintian: $(cat "$work/lintian")"
fi

if [ "$failures" != 0 ]; then
    echo "$failures check(s) of $(basename "$deb") failed" >&2
    exit 1
fi
echo "$(basename "$deb"): $(wc -l <"$work/files") files, Depends: $depends"
