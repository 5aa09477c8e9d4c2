#!/bin/bash
# The private Wine environment of the tests: a prefix inside the build folder,
# an Xvfb display for anything that opens a window, and one persistent
# wineserver for the whole test run.
#
#   wine-env.sh start            create the prefix if needed, start Xvfb and wineserver
#   wine-env.sh run EXE ARGS...  run a Windows program in the prefix (starts what is missing)
#   wine-env.sh stop             stop wineserver and Xvfb
#
# QUENNEL_WINE_DIR chooses the state folder (default: build/wine of the repo);
# WINEARCH/WINEPREFIX may be set by the caller for a second prefix.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
state="${QUENNEL_WINE_DIR:-$repo/build/wine}"
mkdir -p "$state"
export WINEPREFIX="${WINEPREFIX:-$state/prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

log() { echo "wine-env: $*" >&2; }

create_prefix() {
    # One creator at a time; the others wait for it.
    exec 9>"$state/prefix.lock"
    flock 9
    if [ ! -f "$WINEPREFIX/.quennel-ready" ]; then
        log "creating Wine prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        DISPLAY= wineboot --init >/dev/null 2>&1 || true
        wineserver -w
        # No window manager: do not let Wine wait for one on hidden windows.
        local key='HKCU\Software\Wine\X11 Driver'
        wine reg add "$key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
        if [ -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
            wine reg add "$key" /v Managed /t REG_SZ /d N /f /reg:32 >/dev/null 2>&1 || true
            wine reg add "$key" /v Managed /t REG_SZ /d N /f /reg:64 >/dev/null 2>&1 || true
        fi
        wineserver -w
        touch "$WINEPREFIX/.quennel-ready"
    fi
    flock -u 9
}

display_alive() {
    [ -f "$state/display" ] || return 1
    local pid
    pid="$(cat "$state/xvfb.pid" 2>/dev/null || true)"
    [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null
}

start_display() {
    exec 8>"$state/display.lock"
    flock 8
    if ! display_alive; then
        local n
        for n in $(seq 91 140); do
            if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
                setsid Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 < /dev/null &
                echo $! > "$state/xvfb.pid"
                local i
                for i in $(seq 1 100); do
                    [ -e "/tmp/.X11-unix/X$n" ] && break
                    sleep 0.05
                done
                echo ":$n" > "$state/display"
                break
            fi
        done
    fi
    flock -u 8
    export DISPLAY="$(cat "$state/display")"
}


case "${1:-}" in
    start)
        create_prefix
        start_display
        wineserver -p
        # Warm up: the first program start of a prefix is slow.
        wine cmd /c exit 0 >/dev/null 2>&1 || true
        log "ready: prefix $WINEPREFIX, display $DISPLAY"
        ;;
    run)
        shift
        create_prefix
        start_display
        exec wine "$@"
        ;;
    shell)
        # Prints the environment to use the prefix by hand.
        create_prefix
        start_display
        echo "export WINEPREFIX='$WINEPREFIX' WINEDEBUG=-all WINEDLLOVERRIDES='mscoree,mshtml=' DISPLAY='$DISPLAY'"
        ;;
    stop)
        wineserver -k 2>/dev/null || true
        if [ -f "$state/xvfb.pid" ]; then
            kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
            rm -f "$state/xvfb.pid" "$state/display"
        fi
        rm -f "$state/server.started"
        ;;
    *)
        echo "usage: $0 start|run EXE [ARGS...]|shell|stop" >&2
        exit 2
        ;;
esac
