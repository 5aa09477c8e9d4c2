#!/bin/bash
# The private Wine environment of the tests: a prefix inside the build folder,
# an Xvfb display for anything that opens a window, and one persistent
# wineserver for the whole test run.
#
#   wine-env.sh start            create the prefix if needed, start Xvfb and wineserver
#   wine-env.sh run EXE ARGS...  run a Windows program in the prefix (starts what is missing)
#   wine-env.sh stop             stop wineserver and Xvfb
#   wine-env.sh probe            exit 0 when Wine's 32-bit loader runs here as it is
#                                (where not, tests/wine/qemu-route.sh runs it through qemu-user)
#
# QUENNEL_WINE_DIR chooses the state folder (default: build/wine of the repo);
# WINEARCH/WINEPREFIX may be set by the caller for a second prefix.
# QUENNEL_WINE_DPI and QUENNEL_WINE_THEME=light set up a new prefix's screen
# resolution and visual style (without the latter: none, classic controls).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
state="${QUENNEL_WINE_DIR:-$repo/build/wine}"
mkdir -p "$state"
state="$(cd "$state" && pwd)"
mkdir -p "$state"
export WINEPREFIX="${WINEPREFIX:-$state/prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

log() { echo "wine-env: $*" >&2; }

WINE=wine
bits=32

# Quennel is a 32-bit program, and Wine runs it through its 32-bit loader, a
# 32-bit Linux program. Some 64-bit Linux kernels are built or booted without
# 32-bit user code (the loader's exec then fails with "Exec format error"):
# there it runs only through qemu-user (tests/wine/qemu-route.sh), and a
# prefix is never made without it, so say so instead of waiting for one.
probe() {
    local out rc=0
    out="$("$WINE" --version 2>&1 </dev/null)" || rc=$?
    if [ $rc -ne 0 ] || ! printf '%s' "$out" | grep -q '^wine-'; then
        log "this machine cannot run Wine's $bits-bit loader (${out:-exit status $rc});"
        log "32-bit programs need a 64-bit Linux with 32-bit user code enabled (ia32 emulation);" \
            "elsewhere tests/wine/qemu-route.sh runs them through qemu-user"
        return 1
    fi
}

create_prefix() {
    # One creator at a time; the others wait for it.
    exec 9>"$state/prefix.lock"
    flock 9
    # A prefix made with other settings is made again.
    local settings="arch=$bits/${WINEARCH:-} dpi=${QUENNEL_WINE_DPI:-} theme=${QUENNEL_WINE_THEME:-none}"
    if [ ! -f "$WINEPREFIX/.quennel-ready" ] || [ "$(cat "$WINEPREFIX/.quennel-ready")" != "$settings" ]; then
        probe || exit 1
        log "creating Wine prefix $WINEPREFIX"
        rm -rf "$WINEPREFIX"
        DISPLAY= "$WINE" wineboot --init >/dev/null 2>&1 </dev/null || true
        wineserver -w
        # No window manager: do not let Wine wait for one on hidden windows.
        # A 32-bit program reads HKCU\Software through Wow6432Node once that
        # key exists (the tests' registry entries create it), so the setting
        # is written in both places.
        local key
        for key in 'HKCU\Software\Wine\X11 Driver' 'HKCU\Software\Wow6432Node\Wine\X11 Driver'; do
            "$WINE" reg add "$key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 </dev/null
        done
        # QUENNEL_WINE_DPI: the screen's dots per inch (Wine's LogPixels).
        if [ -n "${QUENNEL_WINE_DPI:-}" ]; then
            "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$QUENNEL_WINE_DPI" /f \
                >/dev/null 2>&1 </dev/null
            "$WINE" reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$QUENNEL_WINE_DPI" /f \
                >/dev/null 2>&1 </dev/null
        fi
        # QUENNEL_WINE_THEME=light: the visual style Wine ships is active, as
        # a theme is on a user's Windows; otherwise no visual style at all
        # (classic controls), whatever this Wine's own default is.
        local manager='HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager'
        if [ "${QUENNEL_WINE_THEME:-}" != light ]; then
            "$WINE" reg add "$manager" /v ThemeActive /t REG_SZ /d 0 /f >/dev/null 2>&1 </dev/null
        else
            "$WINE" reg add "$manager" /v ThemeActive /t REG_SZ /d 1 /f >/dev/null 2>&1 </dev/null
            "$WINE" reg add "$manager" /v DllName /t REG_SZ \
                /d 'C:\windows\resources\themes\light\light.msstyles' /f >/dev/null 2>&1 </dev/null
            "$WINE" reg add "$manager" /v ColorName /t REG_SZ /d Blue /f >/dev/null 2>&1 </dev/null
            "$WINE" reg add "$manager" /v SizeName /t REG_SZ /d NormalSize /f >/dev/null 2>&1 </dev/null
        fi
        wineserver -w
        echo "$settings" > "$WINEPREFIX/.quennel-ready"
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
    # QUENNEL_USE_DISPLAY=1 keeps the caller's own display (a desktop session).
    if [ "${QUENNEL_USE_DISPLAY:-0}" = 1 ] && [ -n "${DISPLAY:-}" ]; then
        return
    fi
    exec 8>"$state/display.lock"
    flock 8
    if ! display_alive; then
        # Xvfb picks a free display itself and reports its number.
        rm -f "$state/display.number"
        setsid Xvfb -displayfd 7 -screen 0 1280x1024x24 -nolisten tcp \
            7>"$state/display.number" >/dev/null 2>&1 </dev/null &
        echo $! > "$state/xvfb.pid"
        local i
        for i in $(seq 1 200); do
            [ -s "$state/display.number" ] && break
            sleep 0.05
        done
        if [ ! -s "$state/display.number" ]; then
            log "Xvfb did not start"
            exit 1
        fi
        echo ":$(tr -d '[:space:]' < "$state/display.number")" > "$state/display"
    fi
    flock -u 8
    export DISPLAY="$(cat "$state/display")"
}

case "${1:-}" in
    probe)
        probe
        ;;
    start)
        create_prefix
        start_display
        # Daemons must not hold the caller's output open. A server already
        # running for this prefix (an earlier start without a stop) serves.
        wineserver -p >/dev/null 2>&1 </dev/null || true
        # Warm up: the first program start of a prefix is slow, and it starts
        # Wine's own services, which stay for the run.
        "$WINE" cmd /c exit 0 >/dev/null 2>&1 </dev/null || true
        # Wine starts its desktop process from the first program that opens a
        # window, and that process keeps the program's output open: start it
        # here, from a program whose output goes nowhere.
        "$WINE" rundll32.exe user32.dll,GetDesktopWindow >/dev/null 2>&1 </dev/null || true
        log "ready: prefix $WINEPREFIX, display $DISPLAY"
        ;;
    run)
        shift
        create_prefix
        start_display
        rc=0; "$WINE" "$@" || rc=$?; [ $rc -eq 0 ] || log "exit status $rc"; exit $rc
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
        echo "usage: $0 start|run EXE [ARGS...]|shell|stop|probe" >&2
        exit 2
        ;;
esac
