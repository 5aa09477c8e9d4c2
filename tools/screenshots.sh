#!/bin/bash
# Takes screenshots of the four pages under Wine and Xvfb, as the wizard tests
# drive them, and stores them as PNG files in docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
tools/ensure-setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
export QUENNEL_WINE_DIR="$repo/build/screenshots"
wine_env="$repo/tests/wine/wine-env.sh"
"$wine_env" start
trap '"$wine_env" stop' EXIT
shots="$repo/build/screenshots/shots"
rm -rf "$shots" && mkdir -p "$shots"
"$wine_env" run build/windows/tests/win_wizard_tests.exe --quennel="$repo/dist/Quennel.exe" \
    --standin="$repo/build/windows/tests/standin.exe" --screenshots="$shots" \
    --gtest_filter='*LanguagePage*:*LicensePage*:*ChosenLanguages*:*StaysOpen*' | tr -d '\r' | grep -E '^\[ *(OK|FAILED)'
for page in language-page license-page progress-window finish-page; do
    convert "$shots/$page.bmp" "docs/$page.png"
    echo "docs/$page.png"
done
