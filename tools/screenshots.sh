#!/bin/bash
# Takes screenshots of the four pages under Wine and Xvfb, as the wizard tests
# drive them, at 96 and at 192 dots per inch, and stores them as PNG files in
# docs/ (name-96.png, name-192.png).
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
tools/ensure-setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
wine_env="$repo/tests/wine/wine-env.sh"
for dpi in 96 192; do
    export QUENNEL_WINE_DIR="$repo/build/screenshots-$dpi" QUENNEL_WINE_DPI=$dpi
    "$wine_env" start
    shots="$QUENNEL_WINE_DIR/shots"
    rm -rf "$shots" && mkdir -p "$shots"
    "$wine_env" run build/windows/tests/win_wizard_tests.exe --quennel="$repo/dist/Quennel.exe" \
        --standin="$repo/build/windows/tests/standin.exe" --screenshots="$shots" \
        --gtest_filter='*LanguagePage*:*LicensePage*:*ChosenLanguages*:*StaysOpen*' | tr -d '\r' | grep -E '^\[ *(OK|FAILED)'
    "$wine_env" stop
    for page in language-page license-page progress-window finish-page; do
        convert "$shots/$page.bmp" "docs/$page-$dpi.png"
        echo "docs/$page-$dpi.png"
    done
done
