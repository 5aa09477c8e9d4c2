#!/bin/bash
# The long fuzz run over the configuration rules (not part of the test suite):
#   tools/fuzz.sh [RUNS]      default 10,000,000 executions
# Builds the libFuzzer target with clang (AddressSanitizer, UBSan, leak
# checking), runs it from the committed corpus, and prints libFuzzer's summary.
# Every input that ever fails goes into tests/fuzz/corpus/ as a fixture.
set -euo pipefail
cd "$(dirname "$0")/.."
runs="${1:-10000000}"
tools/ensure-setup.sh
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
corpus=build/fuzz/fuzz-corpus
mkdir -p "$corpus" build/fuzz/fuzz-artifacts
build/fuzz/tests/fuzz/config_fuzzer -runs="$runs" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix=build/fuzz/fuzz-artifacts/ "$corpus" tests/fuzz/corpus
