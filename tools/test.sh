#!/bin/bash
# Installs what the build needs, builds everything and runs every test:
# the native suites under the sanitizers, then the Windows suites under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-setup.sh
start=$(date +%s)
status=0
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native || status=1
# A bounded run of the configuration fuzzer (the long run is tools/fuzz.sh).
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz || status=1
cmake --preset windows >/dev/null
cmake --build --preset windows
ctest --preset windows || status=1
# Release: the six editions built twice in two folders must be byte-identical;
# each edition installs on its own client and refuses another's; a signed
# build verifies and still installs.
tools/check-reproducible.sh build/reproducible || status=1
cmake --build build/reproducible/a/build
ctest --test-dir build/reproducible/a/build -R 'win\.editions' --output-on-failure || status=1
tools/check-signing.sh build/reproducible/b/build || status=1
echo "tests: $( [ $status -eq 0 ] && echo passed || echo FAILED ) in $(( $(date +%s) - start )) s"
exit $status
