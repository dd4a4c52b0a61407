#!/usr/bin/env bash
# Starts (start) or ends (stop) what the Wine tests share: an Xvfb display of their own and the
# build's Wine prefix with its wineserver kept running. Usage: wine-session.sh start|stop
# STATE_DIR WINE_RUN
source "$(dirname "$0")/../../tools/lib.sh"
action=$1 state=$2 run=$3

stop() {
    "$run" --wineserver -k 2>/dev/null || true
    if [ -s "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    fi
    rm -f "$state/xvfb.pid" "$state/display"
}

case $action in
stop)
    stop
    ;;
start)
    mkdir -p "$state"
    stop
    # Xvfb writes its display number to fd 3 once it accepts clients.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$state/display.new" \
        </dev/null >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    for _ in $(seq 100); do
        [ -s "$state/display.new" ] && break
        sleep 0.1
    done
    [ -s "$state/display.new" ] || { echo "Xvfb did not start" >&2; exit 1; }
    mv "$state/display.new" "$state/display"
    # The server stays until stop; wineboot sets the prefix up on its first start.
    "$run" --wineserver -p </dev/null >/dev/null 2>&1
    "$run" wineboot -i </dev/null >/dev/null 2>&1
    # Qt Test prints its results only where it believes a console is; Wine hands no QT_*
    # variable to Windows programs, so the prefix's own environment says so.
    "$run" reg add 'HKCU\Environment' /v QT_ASSUME_STDERR_HAS_CONSOLE /t REG_SZ /d 1 /f \
        </dev/null >/dev/null 2>&1
    echo "Wine on display :$(cat "$state/display"), prefix ready"
    ;;
esac
