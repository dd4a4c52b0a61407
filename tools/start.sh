#!/usr/bin/env bash
# Installs what is missing, builds Vorpa (the program only, not its tests) and starts it.
source "$(dirname "$0")/lib.sh"
cd "$(dirname "$0")/.."

tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target vorpa

tools/check-display.sh || exit 1
exec build/app/vorpa
