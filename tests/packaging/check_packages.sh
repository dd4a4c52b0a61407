#!/usr/bin/env bash
# Makes the packages of the build in $1 (the .deb and the .rpm, or only the .deb in a build for
# another processor) and unpacks the .deb into a scratch root in $2. Checks the packages
# (lintian, dependencies, the same files in both) and that the desktop finds the program, its
# menu entry, icon and metainfo where it looks for them; then starts the installed program under
# an X server of its own, through the emulator $3 if one is given, and waits for the start window.
source "$(dirname "$0")/../../tools/lib.sh"
build=$1 scratch=$2
emulator=("${@:3}")
id=org.quorvantelle.Vorpa
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

rm -rf "$scratch"
mkdir -p "$scratch/home"
mkdir -m 700 "$scratch/runtime"
cpack --config "$build/CPackConfig.cmake" -B "$scratch/packages" >/dev/null
deb=$(echo "$scratch"/packages/vorpa_*.deb)
rpms=("$scratch"/packages/vorpa-*.rpm)

lintian --fail-on error "$deb" || fail "lintian found errors in the .deb"
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "section is not education"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6 (>=' || fail "no computed dependencies"
if [ ${#emulator[@]} -eq 0 ]; then
    [ -f "${rpms[0]}" ] || fail "no .rpm was made"
    diff <(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print substr($6, 2) }' | sort) \
        <(rpm -qp --qf '[%{FILEMODES:perms} %{FILENAMES}\n]' "${rpms[0]}" |
            awk '$1 !~ /^d/ { print $2 }' | sort) || fail "the .deb and the .rpm hold different files"
fi

root=$scratch/root
dpkg-deb -x "$deb" "$root"
for file in usr/share/applications/$id.desktop usr/share/icons/hicolor/scalable/apps/$id.svg \
    usr/share/metainfo/$id.metainfo.xml usr/share/doc/vorpa/copyright; do
    [ -f "$root/$file" ] || fail "not installed: /$file"
done
[ -x "$root/usr/bin/vorpa" ] || fail "not installed: /usr/bin/vorpa"
file -b "$root/usr/bin/vorpa" | grep -q ', stripped' || fail "/usr/bin/vorpa is not stripped"

# The entry names the installed program and icon, in Russian, under Education.
entry=$root/usr/share/applications/$id.desktop
for line in "Exec=vorpa" "Icon=$id" "Name=Обучающие примеры" "Categories=Education;"; do
    grep -q "^$line" "$entry" || fail "the desktop entry lacks $line"
done
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the entry"
appstreamcli validate --no-net "$root/usr/share/metainfo/$id.metainfo.xml" >/dev/null ||
    fail "appstreamcli rejects the metainfo"

# Xvfb writes the number of a free display to descriptor 3 once it accepts clients.
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$scratch/display" 2>"$scratch/xvfb.log" &
pids+=($!)
for _ in $(seq 300); do
    [ -s "$scratch/display" ] && break
    sleep 0.1
done
[ -s "$scratch/display" ] || fail "Xvfb did not start: $(cat "$scratch/xvfb.log")"
export DISPLAY=:$(cat "$scratch/display")
# A desktop session runs in a UTF-8 locale; in plain C the title would reach X11 garbled.
export LC_ALL=C.UTF-8
HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_RUNTIME_DIR=$scratch/runtime \
    QT_QPA_PLATFORM=xcb \
    "${emulator[@]}" "$root/usr/bin/vorpa" 2>"$scratch/vorpa.log" &
pids+=($!)
timeout 60 xdotool search --sync --onlyvisible --name '^Обучающие примеры$' >/dev/null ||
    fail "no start window: $(cat "$scratch/vorpa.log")"
kill -0 "${pids[1]}" || fail "the program ended"
