#!/bin/bash
# Installs what the build needs, builds everything and runs every test:
# the native suites under the sanitizers, then the Windows suites under Wine.
#
# The Windows suites run the shipped 32-bit build and nothing else: natively
# where the kernel runs 32-bit programs, and where it does not, with Wine's
# 32-bit loader going through qemu-user (tests/wine/qemu-route.sh; the whole
# command then runs that way). On a machine that runs them natively, a short
# suite (a silent installation and a wizard run) still takes the qemu route,
# so that route keeps working. The last line names the route.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-setup.sh
. tests/wine/route.sh
quennel_take_route tests "$0" "$@"
start=$(date +%s)
status=0

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native || status=1
# The benchmark's arithmetic and report wording (the benchmark itself is tools/benchmark.sh).
python3 -m unittest discover -s tools/bench -p 'test_*.py' || status=1
# The payload checker on archives rar makes (Debian's rarfile reads them).
/usr/bin/python3 -m unittest discover -s tools/payload -p 'test_*.py' || status=1
# A bounded run of the configuration fuzzer (the long run is tools/fuzz.sh).
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz || status=1
# The shipped installer, read as a file; then the Windows suites on it. Where
# everything already runs through qemu-user, the route's own short suite adds
# nothing.
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows -R '^exe\.' || status=1
if [ -n "${QUENNEL_QEMU_ROUTE:-}" ]; then
    ctest --preset windows -E '^(exe|qemu)\.' || status=1
else
    ctest --preset windows -E '^exe\.' || status=1
fi
# Release: the six editions built twice in two folders must be byte-identical;
# each edition passes the file check, installs on its own client and refuses
# another's; a signed build verifies and still installs.
tools/check-reproducible.sh build/reproducible || status=1
cmake --build build/reproducible/a/build
/usr/bin/python3 tests/tools/check_executable.py build/reproducible/a/dist/Quennel-*.exe || status=1
ctest --test-dir build/reproducible/a/build -R 'win\.editions' --output-on-failure || status=1
tools/check-signing.sh build/reproducible/b/build || status=1
echo "tests: $( [ $status -eq 0 ] && echo passed || echo FAILED ) in $(( $(date +%s) - start )) s ($QUENNEL_ROUTE)"
exit $status
