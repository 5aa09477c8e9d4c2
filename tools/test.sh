#!/bin/bash
# Installs what the build needs, builds everything and runs every test:
# the native suites under the sanitizers, then the Windows suites under Wine.
#
# The Windows suites run on the 32-bit installer where Wine's 32-bit loader
# works. Where the kernel runs no 32-bit programs they run on the test-only
# 64-bit build of the same sources, in a 64-bit prefix, instead; the shipped
# 32-bit installer is then still built, checked as a file, built twice for
# the reproducibility comparison and signed. The last line says which ran.
#   QUENNEL_TEST_ARCH=64   the 64-bit suites, on any machine
#   QUENNEL_TEST_ARCH=32   the 32-bit suites, failing where they cannot run
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-setup.sh
start=$(date +%s)
status=0
wine32=1
tests/wine/wine-env.sh probe 2>/dev/null || wine32=0
case "${QUENNEL_TEST_ARCH:-}" in
    64) arch=64 ;;
    32) arch=32
        if [ $wine32 = 0 ]; then
            tests/wine/wine-env.sh probe || true
            echo "tests: FAILED: QUENNEL_TEST_ARCH=32, but this machine cannot run 32-bit programs" >&2
            exit 1
        fi ;;
    "") arch=$([ $wine32 = 1 ] && echo 32 || echo 64) ;;
    *) echo "tests: QUENNEL_TEST_ARCH must be 32 or 64, not '$QUENNEL_TEST_ARCH'" >&2; exit 2 ;;
esac
if [ $arch = 64 ] && ! QUENNEL_WINE_ARCH=64 tests/wine/wine-env.sh probe; then
    echo "tests: FAILED: Wine's 64-bit loader does not run here either" >&2
    exit 1
fi

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native || status=1
# The benchmark's arithmetic and report wording (the benchmark itself is tools/benchmark.sh).
python3 -m unittest discover -s tools/bench -p 'test_*.py' || status=1
# A bounded run of the configuration fuzzer (the long run is tools/fuzz.sh).
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz || status=1
# The shipped installer, read as a file.
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows -R '^exe\.' || status=1
if [ $arch = 32 ]; then
    ctest --preset windows -E '^exe\.' || status=1
else
    # The same suites on the test-only 64-bit build (the six editions included).
    cmake --preset windows64 >/dev/null
    cmake --build --preset windows64
    ctest --preset windows64 || status=1
fi
# Release: the six editions built twice in two folders must be byte-identical;
# each edition installs on its own client and refuses another's; a signed
# build verifies and still installs.
tools/check-reproducible.sh build/reproducible || status=1
cmake --build build/reproducible/a/build
python3 tests/tools/check_executable.py build/reproducible/a/dist/Quennel-*.exe || status=1
if [ $arch = 32 ]; then
    ctest --test-dir build/reproducible/a/build -R 'win\.editions' --output-on-failure || status=1
fi
tools/check-signing.sh build/reproducible/b/build || status=1
if [ $arch = 32 ]; then
    ran="the Windows suites ran on the 32-bit installer"
else
    ran="the Windows suites ran on the test-only 64-bit build"
    [ $wine32 = 0 ] && ran="$ran: this machine cannot run 32-bit programs"
fi
echo "tests: $( [ $status -eq 0 ] && echo passed || echo FAILED ) in $(( $(date +%s) - start )) s ($ran)"
exit $status
