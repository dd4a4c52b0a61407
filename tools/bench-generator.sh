#!/usr/bin/env bash
# Builds and runs the generator benchmark: the start window's default question and a sparse one,
# paired rounds of the operand loop against the ceiling (the bare operand draws), the grid
# table of every operation and difficulty over wide, negative and reversed ranges, and the
# summary of the extreme settings (about 205 000 cells; minutes), then easy divisions of wide
# ranges away from 0.
# Arguments: --rounds=N (paired rounds, default 9), --questions=N (per grid cell, default 300),
# --no-grid, --extremes=N (questions per extreme cell, default 100; 0 leaves them out),
# --every-cell (a line per extreme cell), --bands=N (questions per such division, default 1000;
# 0 leaves them out), and Google Benchmark flags, e.g.
# --benchmark_repetitions=9.
source "$(dirname "$0")/lib.sh"
cd "$(dirname "$0")/.."

tools/setup.sh libxcb-damage0-dev
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORPA_BENCH=ON >/dev/null
cmake --build build-bench --target bench_generator >/dev/null
echo "== $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
exec build-bench/bench/bench_generator --benchmark_repetitions=3 \
    --benchmark_enable_random_interleaving=true "$@"
