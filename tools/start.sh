#!/usr/bin/env bash
# Installs what is missing, builds Vorpa and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build

tools/check-display.sh
exec build/app/vorpa
