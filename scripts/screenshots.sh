#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes the screenshots in docs/ from the real window under Xvfb:
#   bash scripts/screenshots.sh [scale]
# Scale 2 gives docs/screenshot-question-2x.png, on an X screen set to 192 dots per inch
# (Xft.dpi), as a high-DPI monitor would be.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages $BUILD_PACKAGES xvfb x11-xserver-utils x11-apps xdotool imagemagick
scale=${1:-1}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target znaydar >/dev/null

. tests/session.sh
work=$(mktemp -d "${TMPDIR:-/tmp}/screenshots.XXXXXX")
trap 'session_end; rm -rf "$work"' EXIT
session_begin screenshots 120 "$work"
start_private_x "$((712 * scale))x$((420 * scale))"
printf 'Xft.dpi:\t%d\n' $((96 * scale)) | xrdb -nocpp -load -
session_spawn "$work/program.out" build/app/znaydar
session_product build
find_window window "$name"
session_scale=$scale
step "$window" "the launch screen" 60 shows start_face
suffix=""
[ "$scale" = 1 ] || suffix="-${scale}x"
[ "$scale" != 1 ] || import -window root docs/screenshot-launch.png
click "$window" start_button
step "$window" "Start: question 1" 60 shows next_face
click "$window" answer_row_2
step "$window" "the second answer chosen" 60 chosen
click "$window" check_button
step "$window" "Check: «Ответ принят»" 60 accepted
import -window root "docs/screenshot-question${suffix}.png"
