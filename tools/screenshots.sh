#!/bin/bash
# Takes screenshots of the four pages under Wine and Xvfb, as the wizard tests
# drive them, and stores them as PNG files in docs/: at 96 and at 192 dots per
# inch without a visual style (name-96.png, name-192.png), and at 96 dots per
# inch with the visual style Wine ships active (name-96-themed.png).
# The shipped 32-bit installer is photographed, through qemu-user where this
# machine runs no 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")/.."
repo="$PWD"
tools/ensure-setup.sh
wine_env="$repo/tests/wine/wine-env.sh"
. tests/wine/route.sh
quennel_take_route screenshots "$0" "$@"
preset=windows installer="$repo/dist/Quennel.exe"
cmake --preset $preset >/dev/null
cmake --build --preset $preset --target Quennel win_wizard_tests standin
for variant in 96 192 96-themed; do
    dpi="${variant%%-*}"
    theme=""
    [ "$variant" = 96-themed ] && theme=light
    export QUENNEL_WINE_DIR="$repo/build/screenshots-$variant" QUENNEL_WINE_DPI=$dpi QUENNEL_WINE_THEME=$theme
    "$wine_env" start
    shots="$QUENNEL_WINE_DIR/shots"
    rm -rf "$shots" && mkdir -p "$shots"
    "$wine_env" run "build/$preset/tests/win_wizard_tests.exe" --quennel="$installer" \
        --standin="$repo/build/$preset/tests/standin.exe" --screenshots="$shots" \
        --gtest_filter='*LanguagePage*:*LicensePage*:*ChosenLanguages*:*StaysOpen*' | tr -d '\r' | grep -E '^\[ *(OK|FAILED)'
    "$wine_env" stop
    for page in language-page license-page progress-window finish-page; do
        convert "$shots/$page.bmp" "docs/$page-$variant.png"
        echo "docs/$page-$variant.png"
    done
done
