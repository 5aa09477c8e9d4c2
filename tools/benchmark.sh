#!/bin/bash
# The performance benchmark (outside the test suite): see tools/bench/benchmark.py.
#   tools/benchmark.sh [--reps 5] [--scales 0.25,0.5,1,2] [--observe 3] [--quiet-reps 120]
#   tools/benchmark.sh --only quiet [--reps 120]   (/quiet and /quiet /log= against /silent alone)
# It measures the shipped 32-bit build, through qemu-user where this machine
# runs no 32-bit programs (the report says which).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/ensure-setup.sh
. tests/wine/route.sh
quennel_take_route benchmark "$0" "$@"
exec python3 tools/bench/benchmark.py "$@"
