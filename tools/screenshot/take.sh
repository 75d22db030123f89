#!/bin/sh
# Retakes docs/screenshot.png (the window at its default size) and docs/screenshot-batch.png
# (enlarged, a batch running) under a virtual display with a window manager, with sources in a
# neutral home folder. Needs xvfb and openbox (apt-get install xvfb openbox).
#   tools/screenshot/take.sh [BUILD_DIR]
set -eu
repo=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$repo/build}
home=/home/user/ksj
cmake --build "$build" --target tolvane_screenshot tolvane-gen
mkdir -p "$home/out"
# Land-use mesh files of six prefectures, large enough for the batch to be caught running.
for pref in 13 14 15 16 17 18; do
    "$build/bin/tolvane-gen" --item 4 --records 60000 --seed "$pref" \
        --out "$home/L03-18M-$pref-jgd.dat"
done
display=:97
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$wm" "$xvfb" 2>/dev/null || true' EXIT
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
sleep 1
cd "$home"
DISPLAY=$display QT_QPA_PLATFORM=xcb HOME=/home/user "$build/bin/tolvane_screenshot" \
    --home "$home" "$repo/docs/screenshot.png" "$repo/docs/screenshot-batch.png"
rm -rf "$home/out"
