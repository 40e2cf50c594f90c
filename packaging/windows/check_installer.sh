#!/usr/bin/env bash
# check_installer.sh WINDOWS-BUILD-DIR LINUX-BUILD-DIR
#
# Builds the x64 installer from the Windows build's program folder, signed with a throw-away
# certificate, twice (this version and a newer one), and goes through an administrator's life
# with it in a Wine prefix of its own: a silent install, the installed updater's --version and a
# dry run on a small installation, the upgrade in place, the refused downgrade with its German
# message, a silent uninstall that leaves no trace, and an install into a folder of one's own.
# The Linux build lends its update server and sample database.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
windows_build="$(cd "$1" && pwd)"
tools="$(cd "$2" && pwd)/tools"
work="$(mktemp -d "${TMPDIR:-/tmp}/check-installer-XXXXXX")"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    WINEPREFIX="$work/wine" wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

version="$(sed -n 's/^project(PelorixUpdater VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
newer=6.99.0

# A throw-away code-signing certificate.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=PelorixUpdater test signing" \
    -addext "extendedKeyUsage=codeSigning" -keyout "$work/key.pem" -out "$work/cert.pem" \
    >/dev/null 2>&1
export PELORIX_SIGN_CERT="$work/cert.pem" PELORIX_SIGN_KEY="$work/key.pem"
export PELORIX_SIGN_CAFILE="$work/cert.pem" PELORIX_WINDOWS_ARCHES=x64
export PELORIX_WIN64_BUILD_DIR="$windows_build"
build_msi() {
    PELORIX_MSI_VERSION="$1" bash "$root/scripts/package-windows" "$work/$1" >"$work/package-$1.log" 2>&1 ||
        { cat "$work/package-$1.log" >&2; echo "FAIL: no installer $1" >&2; exit 1; }
    echo "$work/$1/PelorixUpdater-$1-x64.msi"
}
old_msi="$(build_msi "$version")"
new_msi="$(build_msi "$newer")"

# The signatures: the installer's and the exe's inside it verify, a changed byte does not.
osslsigncode verify -CAfile "$work/cert.pem" -in "$old_msi" >/dev/null || fail "the MSI's signature"
cp "$old_msi" "$work/tampered.msi"
printf 'X' | dd of="$work/tampered.msi" bs=1 seek=40000 conv=notrunc status=none
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/tampered.msi" >/dev/null 2>&1 &&
    fail "a changed MSI still verifies"

# What the package holds, table by table.
table() { msiinfo export "$old_msi" "$1" | tail -n +4; }
grep -qP '^ProductLanguage\t1031\r?$' <<<"$(table Property)" || fail "not German"
grep -q '^Template: x64;1031$' <<<"$(msiinfo suminfo "$old_msi")" || fail "not a German x64 package"
grep -qP '^INSTALLDIR\tProgramFiles64Folder\tPelorix\r?$' <<<"$(table Directory)" ||
    fail "the program folder is not [ProgramFiles64Folder]Pelorix"
grep -qP '^PelorixUpdaterShortcut\tProgramMenuFolder\tPelorixUpdater\t' <<<"$(table Shortcut)" ||
    fail "no Start-menu shortcut"
# One value in the registry, the folder the package was installed into.
[ "$(table Registry | cut -f 2-5)" = "$(printf '2\tSoftware\\Pelorix\\PelorixUpdater\tInstallDir\t[INSTALLDIR]')" ] ||
    fail "the package writes to the registry: $(table Registry)"
expected_files="$(cd "$windows_build/PelorixUpdater" && find . -type f | wc -l)"
[ "$(table File | wc -l)" = "$expected_files" ] ||
    fail "the package does not hold the $expected_files files of the program folder"

export WINEPREFIX="$work/wine" WINEDEBUG=-all
wine_run() { bash "$root/scripts/wine-run" "$@"; }
drive="$WINEPREFIX/drive_c"
wine_run cmd /c exit
folder="$drive/Program Files/Pelorix"
# Windows puts a per-machine shortcut into the common Start menu, Wine into the user's.
shortcut_exists() {
    find "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs" \
        "$drive/users" -name PelorixUpdater.lnk 2>/dev/null | grep -q .
}
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
installed_versions() {
    wine_run reg query "$uninstall_key" /s 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ {key=$0} /DisplayName.*PelorixUpdater/ {found[key]=1}
             /DisplayVersion/ {v[key]=$NF} END {for (k in found) print v[k]}'
}
snapshot() { (cd "$drive" && find . ! -path './windows/*' ! -path './users/*' | sort); }
msiexec() { wine_run msiexec "$@" </dev/null >/dev/null 2>&1; }

snapshot >"$work/before"
msiexec /i "$(winepath -w "$old_msi")" /qn || fail "the silent install failed ($?)"
[ -f "$folder/PelorixUpdater.exe" ] || fail "no PelorixUpdater.exe in Program Files\\Pelorix"
shortcut_exists || fail "no Start-menu shortcut"
[ "$(installed_versions)" = "$version" ] || fail "uninstall entry: '$(installed_versions)'"
for binary in PelorixUpdater.exe Qt6Core.dll platforms/qwindows.dll; do
    osslsigncode verify -CAfile "$work/cert.pem" -in "$folder/$binary" >/dev/null 2>&1 ||
        fail "the installed $binary is not signed"
done
# Signing adds to a file; the rest of the folder is the build's, byte for byte.
cmp -s "$folder/qt.conf" "$windows_build/PelorixUpdater/qt.conf" || fail "qt.conf differs"

# The installed updater runs: its version, and a dry run on a small installation whose program
# folder is the updater's own.
out="$(wine_run "C:\\Program Files\\Pelorix\\PelorixUpdater.exe" --version 2>&1 | tr -d '\r')"
grep -q "$version" <<<"$out" || fail "--version said: $out"
mkdir -p "$drive/ProgramData/Pelorix" "$drive/PelorixDaten" "$work/release"
printf '[ServiceSettings]\r\nDataBasePath=C:\\PelorixDaten\r\nAppPath=C:\\Program Files\\Pelorix\r\n[Settings]\r\nUpdateLog=1\r\nLanguage=DE\r\n' \
    >"$drive/ProgramData/Pelorix/Pelorix.ini"
"$tools/sample-db/pelorix-sample-db" "$drive/PelorixDaten/Pelorix.mdb" >/dev/null
"$tools/update-server/pelorix-update-server" write-release "$work/release" \
    --language-source "$root/tools/demo/language.ini" >/dev/null
"$tools/update-server/pelorix-update-server" serve --root "$work/release" --port 0 --quiet \
    >"$work/server.out" 2>&1 &
pids+=($!)
"$tools/supervisor/pelorix-supervisor" --document \
    "$drive/ProgramData/OrvaneTrellisService/OTRS.xml" --create >"$work/supervisor.out" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q "^ready" "$work/supervisor.out" 2>/dev/null && break; sleep 0.1; done
for _ in $(seq 50); do grep -q "listening on" "$work/server.out" 2>/dev/null && break; sleep 0.1; done
export PELORIX_UPDATE_SERVER="$(sed -n 's/^listening on //p' "$work/server.out" | head -1)/Updater"
set +e
dry="$(wine_run "C:\\Program Files\\Pelorix\\PelorixUpdater.exe" --dry-run 2>&1 | tr -d '\r')"
dry_status=$?
set -e
[ "$dry_status" = 0 ] || fail "the dry run ended with $dry_status: $dry"
grep -q "Pelorix.exe" <<<"$dry" || fail "the dry run's plan names no file: $dry"
for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
pids=()
rm -rf "$drive/ProgramData/Pelorix" "$drive/ProgramData/OrvaneTrellisService" "$drive/PelorixDaten"
[ -f "$folder/Pelorix.exe" ] && fail "the dry run installed something"

# A newer package replaces the installed one in place; an older one then refuses, in German.
msiexec /i "$(winepath -w "$new_msi")" /qn || fail "the upgrade failed"
[ "$(installed_versions)" = "$newer" ] || fail "after the upgrade: '$(installed_versions)'"
[ -f "$folder/PelorixUpdater.exe" ] || fail "the upgrade lost the exe"
msiexec /i "$(winepath -w "$old_msi")" /qn && fail "the downgrade was allowed"
# Wine's msiexec logs no refusal text: the package's own condition carries the message.
grep -qP '^NOT WIX_DOWNGRADE_DETECTED\tEine neuere Version von PelorixUpdater ist bereits installiert\.' \
    <<<"$(table LaunchCondition)" || fail "the downgrade's message is not the German one"
[ "$(installed_versions)" = "$newer" ] || fail "after the refused downgrade: '$(installed_versions)'"

# Uninstalled, nothing is left of it.
msiexec /x "$(winepath -w "$new_msi")" /qn || fail "the silent uninstall failed"
[ -e "$folder" ] && fail "Program Files\\Pelorix is still there"
shortcut_exists && fail "the shortcut is still there"
[ -z "$(installed_versions)" ] || fail "the uninstall entry is still there"
snapshot >"$work/after"
diff "$work/before" "$work/after" >&2 || fail "the uninstall left files behind"

# INSTALLDIR chooses the folder, which the upgrade and the removal then keep to.
own="$drive/Werkzeuge/Pelorix"
msiexec /i "$(winepath -w "$old_msi")" /qn 'INSTALLDIR=C:\Werkzeuge\Pelorix' ||
    fail "the install into INSTALLDIR failed"
[ -f "$own/PelorixUpdater.exe" ] || fail "INSTALLDIR was not used"
msiexec /i "$(winepath -w "$new_msi")" /qn || fail "the upgrade in INSTALLDIR failed"
[ -f "$own/PelorixUpdater.exe" ] || fail "the upgrade left INSTALLDIR"
[ -e "$folder" ] && fail "the upgrade moved into Program Files"
msiexec /x "$(winepath -w "$new_msi")" /qn || fail "the uninstall from INSTALLDIR failed"
[ -e "$own" ] && fail "INSTALLDIR's folder is still there"
wine_run reg query 'HKLM\Software\Pelorix' >/dev/null 2>&1 && fail "the registry key is still there"

ls -l "$old_msi" | awk '{print "installer: " $5 " bytes"}'
if [ "$failures" -gt 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "installer: all checks passed"
