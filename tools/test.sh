#!/usr/bin/env bash
# Installs what is missing, runs each fuzz target for 20 seconds, then builds and runs the whole
# test suite: in the normal build, in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, and cross-built for arm64 and armhf under qemu-user. Then checks the
# Windows build's first steps on an empty cache, and last comes the Windows build,
# cross-compiled with mingw-w64 and tested under Wine (the first run builds Qt for Windows, see
# tools/build-windows.sh). A failed step does not stop the ones
# after it; the end is a summary of every step, and the exit status is 1 if any failed.
source "$(dirname "$0")/lib.sh"
cd "$(dirname "$0")/.."

jobs=$(nproc)
logs=build-logs
rm -rf "$logs"
mkdir -p "$logs"
summary=()
status=0

# Runs one step with its output shown and kept in build-logs/, and notes how it ended; for a
# CTest run the summary carries CTest's own count.
# The step's own failure is reported inside it; here it is only counted.
step() {
    local name=$1 log=$logs/$1.log started=$SECONDS
    shift
    echo "== $name"
    trap - ERR
    set +e
    (trap "$error_trap" ERR; set -e; "$@") 2>&1 | tee "$log"
    last=${PIPESTATUS[0]}
    set -e
    trap "$error_trap" ERR
    local result="passed" detail
    [ "$last" -eq 0 ] || { result="FAILED (exit status $last, log $log)"; status=1; }
    detail=$(grep -E '^[0-9]+% tests passed' "$log" | tail -n 1) || detail=
    summary+=("$(printf '%-22s %-8s %s%s' "$name" "$((SECONDS - started)) s" "$result" \
        "${detail:+: $detail}")")
}

run_suite() {
    local dir=$1
    shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    cd "$dir"
    ctest --output-on-failure -j "$jobs"
}

# A build for another processor: Debian's cross compiler and Qt, every test under qemu-user.
cross_suite() {
    local arch=$1 triple
    tools/setup.sh --arch "$arch"
    triple=$(dpkg-architecture -a"$arch" -qDEB_HOST_GNU_TYPE 2>/dev/null)
    run_suite "build-$arch" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/$triple.cmake"
}

windows_tests() {
    cd build-windows
    ctest --output-on-failure -j "$jobs"
}

step set-up tools/setup.sh
if [ $status -eq 0 ]; then
    step fuzzing tools/fuzz.sh 20
    export ASAN_OPTIONS=detect_leaks=0
    step sanitizer-build run_suite build-sanitize -DCMAKE_BUILD_TYPE=Debug -DVORPA_SANITIZE=ON
    step normal-build run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo
    step arm64-build cross_suite arm64
    step armhf-build cross_suite armhf
    step windows-first-run tests/tools/windows_first_run.sh
    step windows-build tools/build-windows.sh
    if [ "$last" -eq 0 ]; then
        step windows-tests windows_tests
    fi
fi

echo
echo "== Summary ($((SECONDS / 60)) min $((SECONDS % 60)) s in all)"
printf '%s\n' "${summary[@]}"
exit $status
