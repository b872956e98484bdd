#!/usr/bin/env bash
# Takes the screenshots of docs/screenshots from the real window: a virtual X display with
# a window manager (so that the pictures show title bars), and the GUI tests that keep a
# picture of each step. scripts/take-screenshots.sh [folder] (docs/screenshots by default).
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(realpath -m "${1:-docs/screenshots}")
mkdir -p "$folder"
ninja -C build qt_tests >/dev/null
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $wm $xvfb 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb VANTREL_SCREENSHOT_DIR="$folder" build/bin/qt_tests \
  --gtest_filter="${VANTREL_SHOTS_FILTER:-WizardWindowTest.*:WindowPathsTest.CataloguesBuiltAgain*:WindowPathsTest.BackFromTheRawPanel*:WindowLayoutTest.*}"
ls -l "$folder"
