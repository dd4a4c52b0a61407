#!/usr/bin/env bash
# Builds and runs the generator benchmark: attempts per second of DrawExample on sparse easy
# logarithms and on the start window's default, the bare operand draws of the same random
# source (the ceiling), and the ratio of the first to the ceiling.
# Arguments go to Google Benchmark, e.g. --benchmark_repetitions=9.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/setup.sh libxcb-damage0-dev
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORPA_BENCH=ON >/dev/null
cmake --build build-bench --target bench_generator >/dev/null
echo "== $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
exec build-bench/bench/bench_generator --benchmark_repetitions=3 \
    --benchmark_enable_random_interleaving=true "$@"
