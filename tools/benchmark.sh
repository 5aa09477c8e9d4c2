#!/bin/bash
# The performance benchmark (outside the test suite): see tools/bench/benchmark.py.
#   tools/benchmark.sh [--scale 1.0] [--reps 5]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-setup.sh
exec python3 tools/bench/benchmark.py "$@"
