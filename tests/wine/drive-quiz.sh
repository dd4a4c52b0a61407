#!/usr/bin/env bash
# Starts the program under Wine and plays a pupil who presses Enter at every window: the start
# window starts the quiz, each question keeps its pre-filled "0", each verdict box is closed,
# until the results window appears; closing that ends the program. Wine's windows are X
# windows, so xdotool sees their titles and types into them. A zip is unpacked into an empty
# folder first and run with no other Qt in reach, as is a program given with --bare (an installed
# one). Usage: drive-quiz.sh WINE_RUN [--bare] PROGRAM|ZIP
source "$(dirname "$0")/../../tools/lib.sh"
export LC_ALL=C.UTF-8 # xdotool prints the Cyrillic titles as they are only in a UTF-8 locale
run=$1
shift
bare=()
[ "$1" != --bare ] || { bare=(--bare); shift; }
program=$1
start_title='Обучающие примеры'
results_title='Посмотрим, как у тебя дела...'
key='HKCU\Software\Quorvantelle\Vorpa'

DISPLAY=$("$run" --display)
[ -n "$DISPLAY" ] || { echo "No display: the fixture wine_session_start starts one"; exit 1; }
export DISPLAY

folder=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$folder"' EXIT
pid=
if [[ $program == *.zip ]]; then
    unzip -q "$program" -d "$folder"
    echo "The zip holds:"
    (cd "$folder" && find . -type f | sort)
    program=$folder/vorpa/vorpa.exe
    bare=(--bare)
fi

# A first start: nothing stored.
"$run" reg delete "$key" /f >/dev/null 2>&1 || true
"$run" "${bare[@]}" "$program" >"$folder/log" 2>&1 &
pid=$!

# The topmost visible window with a title; the program shows one at a time.
top_window() {
    xdotool search --onlyvisible --name '.' 2>/dev/null | tail -n 1
}

titles=()
handled= pressed_at=0
deadline=$((SECONDS + 300))
while [ $SECONDS -lt $deadline ]; do
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "The program ended before its results window; its output:"
        cat "$folder/log"
        exit 1
    fi
    window=$(top_window) || true
    title=$([ -n "$window" ] && xdotool getwindowname "$window" 2>/dev/null) || true
    if [ -z "$title" ]; then
        sleep 0.2
        continue
    fi
    if [ "$window" != "$handled" ]; then
        titles+=("$title")
        handled=$window pressed_at=0
        [ "$title" = "$results_title" ] && break
    elif [ $((SECONDS - pressed_at)) -lt 5 ]; then
        sleep 0.2 # the key is on its way; pressed again only if the window stays
        continue
    fi
    xdotool windowfocus --sync "$window" key Return 2>/dev/null || true
    pressed_at=$SECONDS
done

printf 'Windows seen: '
printf '[%s] ' "${titles[@]}"
echo
expected=("$start_title")
for n in $(seq 12); do
    expected+=("Вопрос №$n" "${titles[2 * n]:-}")
done
expected+=("$results_title")
if [ "${titles[*]}" != "${expected[*]}" ] || [ ${#titles[@]} -ne 26 ]; then
    echo "Expected the start window, twelve questions each with its verdict, the results"
    exit 1
fi
for n in $(seq 12); do
    case ${titles[2 * n]} in
    '' | Вопрос*) echo "No verdict after question $n"; exit 1 ;;
    esac
done

# The pupil's name was the login name, so the start saved the choices: multiplication, 1 to 10.
stored=$("$run" reg query "$key" | tr -d '\r' | awk 'NF == 3 { print $1, $3 }' | sort | xargs)
if [ "$stored" != "ExampleDifficult 0x0 ExampleMax1 0xa ExampleMax2 0xa ExampleMin1 0x1 ExampleMin2 0x1 ExampleType 0x3 IntellectualMode 0x0" ]; then
    echo "Stored after the start: $stored"
    exit 1
fi

# Closing the results window ends the program.
xdotool windowfocus --sync "$handled" key alt+F4
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
    echo "The program went on after its results window was closed"
    exit 1
fi
wait "$pid"
echo "The quiz ran to its results window, and closing that ended the program"
