#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS (default 60): the answer reader, the
# start window's bound reader and the settings store reading a file of arbitrary bytes.
# A crash, a sanitizer report, a failed check or an input that runs for more than 10 seconds
# fails; the input is kept in build-fuzz/crashes. What the fuzzers find worth keeping stays in
# build-fuzz/corpus for the next run.
#   tools/fuzz.sh [SECONDS]
source "$(dirname "$0")/lib.sh"
cd "$(dirname "$0")/.."
seconds=${1:-60}

tools/setup.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVORPA_FUZZ=ON >/dev/null
cmake --build build-fuzz --target fuzz_answer fuzz_bound fuzz_settings >/dev/null

export UBSAN_OPTIONS=print_stacktrace=1

status=0
mkdir -p build-fuzz/crashes
for target in answer bound settings; do
    corpus=build-fuzz/corpus/$target
    log=build-fuzz/fuzz_$target.log
    mkdir -p "$corpus"
    if build-fuzz/fuzz/fuzz_$target -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="build-fuzz/crashes/$target-" "$corpus" "fuzz/seeds/$target" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "fuzz_$target: passed, $runs inputs in $seconds s"
    else
        echo "fuzz_$target: FAILED (log: $log)"
        tail -n 40 "$log"
        status=1
    fi
done
exit $status
