#!/usr/bin/env bash
# Start-up cost of Vorpa against a Qt window with one label (bench/empty_window.cpp --label),
# and the least a Qt Widgets program can do (the same window empty, which draws no text and so
# never loads a font). They are started in turn on a private Xvfb, RUNS times each (default 15)
# after one unmeasured start of each; for each program it prints the median, lowest and highest
# time from start to the first mapped window and to its first paint with text, and the peak
# resident memory (measured half a second after the map), then the ratios of the medians.
#   tools/bench-startup.sh [RUNS]
source "$(dirname "$0")/lib.sh"
cd "$(dirname "$0")/.."
runs=${1:-15}

tools/setup.sh libxcb-damage0-dev
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
        $watch ${commands[$i]} |
            sed -E 's/map_ms=([0-9.]+) text_ms=(-?[0-9.]+) maxrss_kb=([0-9]+)/\1 \2 \3/' \
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
    # One column: median, lowest and highest of the runs, or dashes for a window with no text.
    function column(values, name, key,    a, j) {
        split("", a)
        for (j = 1; j <= runs; j++) a[j] = values[name, j]
        med[name, key] = median(a, runs)
        if (a[1] < 0) return sprintf(" %8s %8s %8s", "-", "-", "-")
        return sprintf(" %8.1f %8.1f %8.1f", med[name, key], a[1], a[runs])
    }
    FNR == 1 { name = FILENAME; sub(".*/", "", name); names[++count] = name; n = 0 }
    { n++; t[name, n] = $1; p[name, n] = $2; m[name, n] = $3 / 1024 }
    END {
        printf "%-13s %26s %26s %26s\n", "", "mapped window (ms)", "first text (ms)",
            "peak memory (MiB)"
        printf "%-13s", "program"
        for (i = 1; i <= 3; i++) printf " %8s %8s %8s", "median", "lowest", "highest"
        printf "\n"
        for (i = 1; i <= count; i++) {
            name = names[i]
            printf "%-13s%s%s%s\n", name, column(t, name, "map"), column(p, name, "text"),
                column(m, name, "memory")
        }
        printf "ratio vorpa / one_label:    map %.2f, first text %.2f (target: both at most 1.10)\n",
            med["vorpa", "map"] / med["one_label", "map"], med["vorpa", "text"] / med["one_label", "text"]
        printf "ratio vorpa / empty_window: map %.2f, memory %.2f\n",
            med["vorpa", "map"] / med["empty_window", "map"], med["vorpa", "memory"] / med["empty_window", "memory"]
    }' "$work/vorpa" "$work/empty_window" "$work/one_label"
