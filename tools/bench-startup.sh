#!/usr/bin/env bash
# Start-up cost of Vorpa against the least a Qt Widgets program can do (one empty window,
# bench/empty_window.cpp), and for comparison the same window with one label, which is what
# makes Qt load its fonts. They are started in turn on a private Xvfb, RUNS times each (default
# 15) after one unmeasured start of each; for each program it prints the median, lowest and
# highest time from start to the first mapped window and peak resident memory (measured half a
# second after the map), then the ratios of the medians.
#   tools/bench-startup.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}

tools/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORPA_BENCH=ON >/dev/null
cmake --build build-bench --target vorpa bench_empty_window bench_startup_watch >/dev/null

work=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A display of our own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -noreset -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }

# No stored choices and no desktop session: the same clean start every time.
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export DISPLAY=":$(cat "$work/display")" QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime"

watch=build-bench/bench/bench_startup_watch
names=(vorpa empty_window one_label)
commands=("build-bench/app/vorpa" "build-bench/bench/bench_empty_window"
    "build-bench/bench/bench_empty_window --label")

for command in "${commands[@]}"; do
    $watch $command >/dev/null
done
for _ in $(seq "$runs"); do
    for i in "${!names[@]}"; do
        $watch ${commands[$i]} | sed -E 's/map_ms=([0-9.]+) maxrss_kb=([0-9]+)/\1 \2/' \
            >>"$work/${names[$i]}"
    done
done

echo "== $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs), $(nproc) cores," \
    "load $(cut -d' ' -f1-3 /proc/loadavg), $runs runs each, alternating"
awk -v runs="$runs" '
    function sort(a, n,    i, j, v) {
        for (i = 2; i <= n; i++) {
            v = a[i]
            for (j = i - 1; j >= 1 && a[j] > v; j--)
                a[j + 1] = a[j]
            a[j + 1] = v
        }
    }
    function median(a, n) {
        sort(a, n)
        return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    FNR == 1 { name = FILENAME; sub(".*/", "", name); names[++count] = name; n = 0 }
    { n++; t[name, n] = $1; m[name, n] = $2 / 1024 }
    END {
        printf "%-14s %29s %32s\n", "", "first window (ms)", "peak resident memory (MiB)"
        printf "%-14s %9s %9s %9s %10s %10s %10s\n", "program", "median", "lowest", "highest",
            "median", "lowest", "highest"
        for (i = 1; i <= count; i++) {
            name = names[i]
            split("", ta); split("", ma)
            for (j = 1; j <= runs; j++) { ta[j] = t[name, j]; ma[j] = m[name, j] }
            tm[name] = median(ta, runs); mm[name] = median(ma, runs)
            printf "%-14s %9.1f %9.1f %9.1f %10.1f %10.1f %10.1f\n", name, tm[name], ta[1],
                ta[runs], mm[name], ma[1], ma[runs]
        }
        printf "ratio vorpa / empty_window: time %.2f, memory %.2f (target: both at most 1.30)\n",
            tm["vorpa"] / tm["empty_window"], mm["vorpa"] / mm["empty_window"]
        printf "ratio vorpa / one_label:    time %.2f, memory %.2f\n",
            tm["vorpa"] / tm["one_label"], mm["vorpa"] / mm["one_label"]
    }' "$work/vorpa" "$work/empty_window" "$work/one_label"
