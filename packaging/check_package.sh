#!/usr/bin/env bash
# check_package.sh BUILD-DIR
#
# Builds the Debian package from the build folder into a temporary folder and checks it: its
# name and version, exactly the files it should hold with their modes (none of the other
# stand-ins of tools/), the folder /etc/pelorix-updater/ for the release key (no key in it), and
# the dependencies on the Qt libraries, the Qt SQL drivers, libcurl, pugixml and libsodium.
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
-rw-r--r-- ./usr/share/doc/pelorix-updater/releases.md
-rw-r--r-- ./usr/share/doc/pelorix-updater/unattended.md
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

if [ "$failures" != 0 ]; then
    echo "$failures check(s) of $(basename "$deb") failed" >&2
    exit 1
fi
echo "$(basename "$deb"): $(wc -l <"$work/files") files, Depends: $depends"
