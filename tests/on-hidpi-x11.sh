#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a window test on a real X screen that asks for double-size pixels (Xft.dpi 192), as
# a high-DPI classroom monitor or projector set-up would:
#   on-hidpi-x11.sh TEST-EXECUTABLE [ARGS...]
set -euo pipefail
read -r display < <(
    exec 3>&1
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1600x1000x24 >/dev/null 2>&1 &
    echo "$!" > "${TMPDIR:-/tmp}/on-hidpi-x11.$$"
)
xvfb=$(cat "${TMPDIR:-/tmp}/on-hidpi-x11.$$")
rm -f "${TMPDIR:-/tmp}/on-hidpi-x11.$$"
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=":$display"
printf 'Xft.dpi:\t192\n' | xrdb -nocpp -load -
EXPECT_DEVICE_PIXEL_RATIO=2 QT_QPA_PLATFORM=xcb "$@"
