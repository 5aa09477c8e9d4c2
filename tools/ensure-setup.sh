#!/bin/sh
# Runs the set-up script as root when this machine still lacks something.
set -eu
here="$(cd "$(dirname "$0")" && pwd)"
if [ "$(id -u)" -eq 0 ]; then
    "$here/setup.sh"
elif command -v sudo >/dev/null 2>&1; then
    sudo "$here/setup.sh"
else
    echo "setup: run $here/setup.sh as root first" >&2
    exit 1
fi
