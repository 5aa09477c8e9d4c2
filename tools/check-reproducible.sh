#!/bin/bash
# Builds the six installers twice, in two different folders one after the
# other, and checks that the executables are byte-identical.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
base="${1:-$repo/build/reproducible}"
rm -rf "$base/a" "$base/b"
for side in a b; do
    QUENNEL_RELEASE_DIST="$base/$side/dist" tools/release.sh "$base/$side/build" >/dev/null
    sleep 2  # the second build starts at another second
done
status=0
for exe in "$base"/a/dist/Quennel-*.exe; do
    name="$(basename "$exe")"
    if cmp -s "$exe" "$base/b/dist/$name"; then
        echo "reproducible: $name $(sha256sum < "$exe" | cut -c1-16)"
    else
        echo "DIFFERENT: $name" >&2
        cmp "$exe" "$base/b/dist/$name" | head -3 >&2 || true
        status=1
    fi
done
cmp -s "$base/a/dist/SHA256SUMS" "$base/b/dist/SHA256SUMS" || { echo "DIFFERENT: SHA256SUMS" >&2; status=1; }
exit $status
