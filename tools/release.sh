#!/bin/bash
# Builds the installers of all six editions into dist/ (Quennel-<Brand>-<Edition>.exe)
# and writes dist/SHA256SUMS.
#
#   tools/release.sh [BUILD_FOLDER] [extra CMake options, e.g. -DQUENNEL_SIGN_PKCS12=... ]
#
# With -DQUENNEL_SIGN_PKCS12=cert.p12 -DQUENNEL_SIGN_PASSWORD_FILE=pass.txt (and
# optionally -DQUENNEL_SIGN_TIMESTAMP_URL=...) every installer is signed.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
build="${1:-$repo/build/release}"
shift || true
dist="${QUENNEL_RELEASE_DIST:-$repo/dist}"
tools/ensure-setup.sh
cmake -S "$repo" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DQUENNEL_RELEASE=ON -DQUENNEL_DIST_DIR="$dist" "$@" >/dev/null
cmake --build "$build" --target release
echo "== $dist"
( cd "$dist" && ls -l Quennel-*.exe && cat SHA256SUMS )
