#!/usr/bin/env bash
# Without a display the start command says how to run it, and the program itself ends at once
# instead of waiting.
#   no_display.sh PROGRAM... (a build for another processor puts its emulator first)
source "$(dirname "$0")/../../tools/lib.sh"
root=$(cd "$(dirname "$0")/../.." && pwd)
expected="No display found: run it as 'xvfb-run -a tools/start.sh', or set QT_QPA_PLATFORM=offscreen."

rc=0
out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/tools/check-display.sh" 2>&1) || rc=$?
[ "$rc" -eq 1 ] || { echo "FAIL: check-display.sh ended with $rc, not 1"; exit 1; }
[ "$out" = "$expected" ] || { echo "FAIL: check-display.sh said: $out"; exit 1; }

rc=0
# In a subshell, so that its note on the program's abort goes to /dev/null too.
(env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 20 "$@"; exit $?) >/dev/null 2>&1 || rc=$?
if [ "$rc" -eq 0 ] || [ "$rc" -eq 124 ]; then
    echo "FAIL: the program without a display ended with $rc (124: still running after 20 s)"
    exit 1
fi
