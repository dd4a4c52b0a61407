#!/usr/bin/env bash
# Installs what is missing, builds Vorpa and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display found: run it as 'xvfb-run -a tools/start.sh', or set QT_QPA_PLATFORM=offscreen." >&2
    exit 1
fi
exec build/app/vorpa
