#!/usr/bin/env bash
# The program itself on an X server (run it under xvfb-run): its start window appears.
#   start_window_appears.sh XDOTOOL PROGRAM... (a build for another processor puts its
#   emulator first)
source "$(dirname "$0")/../../tools/lib.sh"
xdotool=$1
shift

QT_QPA_PLATFORM=xcb "$@" &
program=$!
found=$(timeout 60 "$xdotool" search --sync --onlyvisible --name '^Обучающие примеры$') || true
kill "$program" 2>/dev/null || true
[ -n "$found" ] || { echo "FAIL: no window «Обучающие примеры» appeared within 60 s"; exit 1; }
