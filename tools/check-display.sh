#!/usr/bin/env bash
# Says in one line how to start Vorpa when there is no display, instead of Qt's abort.
source "$(dirname "$0")/lib.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: run it as 'xvfb-run -a tools/start.sh', or set QT_QPA_PLATFORM=offscreen." >&2
    exit 1
fi
