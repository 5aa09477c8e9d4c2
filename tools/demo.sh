#!/bin/bash
# The installer's main job: builds Quennel.exe and runs it under Wine against
# a demo client installed into a private Wine prefix (build/demo), answering
# its message boxes, then prints what the run left behind. Before that it runs
# the installer's client check on its own and prints what it found.
#
#   tools/demo.sh [ARGUMENTS FOR Quennel.exe]
#
# Without arguments it runs the wizard on your desktop when a display is
# available (DISPLAY is set), and the silent installation otherwise.
# QUENNEL_DEMO_HOLD=seconds keeps each message box of a silent run on screen
# that long.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
tools/ensure-setup.sh
wine_env="$repo/tests/wine/wine-env.sh"
# The shipped 32-bit installer, natively or through qemu-user where this
# machine runs no 32-bit programs.
. tests/wine/route.sh
quennel_take_route demo "$0" "$@"
echo "demo: $QUENNEL_ROUTE"
preset=windows
installer="$repo/dist/Quennel.exe"
demo_state="$repo/build/demo"
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target Quennel democlient qdrive clientcheck

export QUENNEL_WINE_DIR="$demo_state"
if [ $# -eq 0 ] && [ -n "${DISPLAY:-}" ]; then export QUENNEL_USE_DISPLAY=1; fi
"$wine_env" start
trap '"$wine_env" stop' EXIT
run() { "$wine_env" run "$@" | tr -d '\r'; }

tools="$repo/build/$preset/tools/demo"
wizard=0
if [ $# -eq 0 ]; then
    if [ -n "${DISPLAY:-}" ]; then wizard=1; else set -- /silent; fi
fi

echo "== demo client"
run "$tools/democlient.exe" install
echo "== client check (discovery, reference configuration, compatibility rules)"
run "$tools/qdrive.exe" "$tools/clientcheck.exe"
echo "== Quennel.exe $*"
started=$(date +%s.%N)
if [ "$wizard" = 1 ]; then
    echo "the wizard is on your screen: choose languages, tick Read and Accept, click Install Now"
    status=0
    "$wine_env" run "$installer" || status=$?
    echo "exit status: $status"
else
    run "$tools/qdrive.exe" --hold="${QUENNEL_DEMO_HOLD:-0}" "$installer" "$@"
fi
python3 -c "import sys, time; print('time taken: %.1f s' % (time.time() - float(sys.argv[1])))" "$started"
echo "== afterwards"
run "$tools/democlient.exe" report --installer="Z:${installer//\//\\}"
