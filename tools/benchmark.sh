#!/bin/bash
# The performance benchmark (outside the test suite): see tools/bench/benchmark.py.
#   tools/benchmark.sh [--reps 5] [--scales 0.25,0.5,1,2] [--arch 32|64] [--observe 3] [--quiet-reps 120]
#   tools/benchmark.sh --only quiet [--reps 120] [--arch 32|64]   (/quiet and /quiet /log= against /silent alone)
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-setup.sh
exec python3 tools/bench/benchmark.py "$@"
