#!/usr/bin/env bash
# Installs what is missing, runs each fuzz target for 20 seconds, then builds and runs the whole
# test suite twice: in the normal build and in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer. Last comes the Windows build, cross-compiled with mingw-w64 and
# tested under Wine (the first run builds Qt for Windows, see tools/build-windows.sh).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh

jobs=$(nproc)
status=0

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    (cd "$dir" && ctest --output-on-failure -j "$jobs") || status=1
}

echo "== Fuzzing the answer reader, the bound reader and the settings file, 20 s each"
tools/fuzz.sh 20 || status=1

export ASAN_OPTIONS=detect_leaks=0
echo "== Sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORPA_SANITIZE=ON
echo "== Normal build"
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo

echo "== Windows build (mingw-w64), tested under Wine"
if tools/build-windows.sh; then
    (cd build-windows && ctest --output-on-failure -j "$jobs") || status=1
else
    status=1
fi

exit $status
