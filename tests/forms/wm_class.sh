#!/usr/bin/env bash
# The real start window on an X server (run it under xvfb-run): its class in WM_CLASS is the
# menu entry's StartupWMClass, so that the task bar puts the window under its launcher.
#   wm_class.sh XDOTOOL XPROP DESKTOP-ENTRY PROGRAM... (a build for another processor puts its
#   emulator first)
source "$(dirname "$0")/../../tools/lib.sh"
xdotool=$1 xprop=$2 desktop_entry=$3
shift 3

entry=$(sed -n 's/^StartupWMClass=//p' "$desktop_entry")
[ -n "$entry" ] || { echo "FAIL: $desktop_entry has no StartupWMClass"; exit 1; }
QT_QPA_PLATFORM=xcb "$@" &
program=$!
window=$(timeout 60 "$xdotool" search --sync --onlyvisible --name '^Обучающие примеры$' |
    head -n 1) || true
class=
[ -z "$window" ] || class=$("$xprop" -id "$window" WM_CLASS) || true
kill "$program" 2>/dev/null || true
[ -n "$window" ] || { echo "FAIL: no window «Обучающие примеры» appeared within 60 s"; exit 1; }
echo "$class; StartupWMClass=$entry"
[ "$class" = "WM_CLASS(STRING) = \"vorpa\", \"$entry\"" ] ||
    { echo "FAIL: the window's class is not the entry's StartupWMClass"; exit 1; }
