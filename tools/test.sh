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
echo "tests: $( [ $status -eq 0 ] && echo passed || echo FAILED ) in $(( $(date +%s) - start )) s"
exit $status
