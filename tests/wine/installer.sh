#!/usr/bin/env bash
# The Windows installer under Wine, in a Wine prefix of its own: a silent install puts the zip's
# files into Program Files with a Start-menu shortcut to vorpa.exe, the installed program runs a
# quiz, a second install of the same version and a newer version over it leave one entry in the
# installed-programs list, an older version does not replace a newer one, and a silent removal
# takes away what the installer put in place but not the pupil's stored choices.
# Usage: installer.sh WINE_RUN MSI BUNDLE_FOLDER VERSION
source "$(dirname "$0")/../../tools/lib.sh"
run=$1 msi=$2 bundle=$3 version=$4
here=$(cd "$(dirname "$0")" && pwd)
work=$(dirname "$msi")/wine/installer
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$work"
mkdir -p "$work"
export VORPA_WINEPREFIX=$work/prefix
trap '"$run" --wineserver -k 2>/dev/null || true' EXIT
"$run" wineboot -i </dev/null >/dev/null 2>&1
drive_c=$VORPA_WINEPREFIX/drive_c
installed=$drive_c/'Program Files/Quorvantelle/Vorpa'

# The next patch version, built from the same files.
newer_version=${version%.*}.$((${version##*.} + 1))
newer=$work/vorpa-$newer_version-x64.msi
bash "$here/../../tools/make-msi.sh" "$bundle" "$newer_version" "$newer"

run_msiexec() {
    local started=$SECONDS rc=0
    "$run" msiexec "$@" /qn '/l*v' "$(winepath_of "$work/msiexec.log")" </dev/null >/dev/null 2>&1 || rc=$?
    echo "msiexec $*: exit status $rc, $((SECONDS - started)) s" >&2
    return $rc
}
winepath_of() {
    "$run" winepath -w "$1" 2>/dev/null | tr -d '\r'
}
# The installed-programs list, one "version name" line per entry of ours.
entries() {
    "$run" reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s 2>/dev/null |
        tr -d '\r' | awk '
            /^HKEY/ { if (name == "Vorpa") print version; name = version = "" }
            $1 == "DisplayName" { name = $3 }
            $1 == "DisplayVersion" { version = $3 }
            END { if (name == "Vorpa") print version }'
}
shortcuts() {
    find "$drive_c" -path '*/Start Menu/Programs/*' -iname 'Vorpa.lnk' 2>/dev/null
}

run_msiexec /i "$(winepath_of "$msi")" || fail "the installation did not succeed"
diff <(cd "$bundle" && find . -type f | LC_ALL=C sort) \
    <(cd "$installed" && find . -type f | LC_ALL=C sort) ||
    fail "Program Files\\Quorvantelle\\Vorpa does not hold the zip's files (above: - zip, + installed)"
(cd "$bundle" && find . -type f ! -exec cmp -s {} "$installed/{}" \; -print) | grep . &&
    fail "installed files differ from the zip's"
[ "$(shortcuts | wc -l)" -eq 1 ] || fail "not one Start-menu shortcut: $(shortcuts)"
grep -aqF 'C:\Program Files\Quorvantelle\Vorpa\vorpa.exe' "$(shortcuts)" ||
    fail "the shortcut does not lead to the installed vorpa.exe"
[ "$(entries)" = "$version" ] || fail "installed-programs entries after the first install: $(entries)"

bash "$here/drive-quiz.sh" "$run" --bare "$installed/vorpa.exe" || fail "the installed program"

run_msiexec /i "$(winepath_of "$msi")" || fail "installing the same version again did not succeed"
[ "$(entries)" = "$version" ] || fail "entries after the same version again: $(entries)"
run_msiexec /i "$(winepath_of "$newer")" || fail "installing $newer_version over $version did not succeed"
[ "$(entries)" = "$newer_version" ] || fail "entries after the newer version: $(entries)"

# The refusal's message is the launch condition's; Wine's msiexec does not log it, so it is read
# from the package, with the shortcut's description (both in Russian, by code page 1251).
run_msiexec /i "$(winepath_of "$msi")" && fail "$version replaced the newer $newer_version"
grep -q 'LaunchConditions' "$work/msiexec.log" || fail "the refusal did not come from the launch condition"
msiinfo export "$msi" LaunchCondition | grep -qx $'NOT NEWERFOUND\tУже установлена более новая версия Vorpa\. .*' ||
    fail "the package has no Russian message for a newer version installed"
msiinfo export "$msi" Shortcut | grep -q $'\tОбучающие примеры по арифметике\t' ||
    fail "the shortcut has no Russian description"
[ "$(entries)" = "$newer_version" ] || fail "entries after refusing the older version: $(entries)"

run_msiexec /x "$(winepath_of "$newer")" || fail "the removal did not succeed"
[ ! -e "$(dirname "$installed")" ] || fail "Program Files\\Quorvantelle is left after the removal"
[ -z "$(shortcuts)" ] || fail "the shortcut is left after the removal"
[ -z "$(entries)" ] || fail "entries after the removal: $(entries)"
"$run" reg query 'HKCU\Software\Quorvantelle\Vorpa' /v ExampleType </dev/null 2>/dev/null |
    grep -q 'ExampleType' || fail "the removal took the pupil's stored choices"
echo "Installed, run, upgraded, refused a downgrade and removed, leaving the stored choices"
