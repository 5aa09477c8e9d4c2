#!/bin/bash
# Installs what the build needs, builds everything and runs every test:
# the native suites under the sanitizers, then the Windows suites under Wine.
# On a machine whose kernel runs no 32-bit programs Wine cannot start ours:
# the Windows suites are then built but not run, and the run says so at the
# end (QUENNEL_REQUIRE_WINE=1 makes that a failure).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-setup.sh
start=$(date +%s)
status=0
wine_runs=1
tests/wine/wine-env.sh probe || wine_runs=0
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native || status=1
# A bounded run of the configuration fuzzer (the long run is tools/fuzz.sh).
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz || status=1
cmake --preset windows >/dev/null
cmake --build --preset windows
if [ $wine_runs = 1 ]; then
    ctest --preset windows || status=1
else
    ctest --preset windows -R '^exe\.' || status=1
fi
# Release: the six editions built twice in two folders must be byte-identical;
# each edition installs on its own client and refuses another's; a signed
# build verifies and still installs.
tools/check-reproducible.sh build/reproducible || status=1
cmake --build build/reproducible/a/build
python3 tests/tools/check_executable.py build/reproducible/a/dist/Quennel-*.exe || status=1
if [ $wine_runs = 1 ]; then
    ctest --test-dir build/reproducible/a/build -R 'win\.editions' --output-on-failure || status=1
fi
tools/check-signing.sh build/reproducible/b/build || status=1
note=""
if [ $wine_runs = 0 ]; then
    note=" (the Windows suites were built but NOT run: this machine cannot run 32-bit programs)"
    [ "${QUENNEL_REQUIRE_WINE:-0}" = 1 ] && status=1
fi
echo "tests: $( [ $status -eq 0 ] && echo passed || echo FAILED ) in $(( $(date +%s) - start )) s$note"
exit $status
