#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots in docs/ from the real window under Xvfb:
#   bash scripts/screenshots.sh [scale]
# Scale 2 gives docs/screenshot-question-2x.png, on an X screen set to 192 dots per inch
# (Xft.dpi), as a high-DPI monitor would be.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages $BUILD_PACKAGES xvfb x11-xserver-utils xdotool imagemagick
scale=${1:-1}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target znaydar >/dev/null

display=:$((90 + RANDOM % 100))
width=$((712 * scale)); height=$((420 * scale))
Xvfb "$display" -noreset -screen 0 "${width}x${height}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
app=""
trap 'kill $app $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$display
sleep 0.5
printf 'Xft.dpi:\t%d\n' $((96 * scale)) | xrdb -nocpp -load -
build/app/znaydar &
app=$!
xdotool search --sync --onlyvisible --name '^Знайдар$' windowfocus --sync >/dev/null
sleep 0.3
click() { xdotool mousemove $(($1 * scale)) $(($2 * scale)) click 1; sleep 0.3; }
suffix=""
[ "$scale" = 1 ] || suffix="-${scale}x"
if [ "$scale" = 1 ]; then
    import -window root docs/screenshot-launch.png
fi
click 356 368   # Начать тест
click 110 240   # the second row
click 144 368   # Проверить
import -window root "docs/screenshot-question${suffix}.png"
