#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a window test on a real X screen that asks for double-size pixels (Xft.dpi 192), as
# a high-DPI classroom monitor or projector set-up would:
#   on-hidpi-x11.sh TEST-EXECUTABLE [ARGS...]
set -euo pipefail
. "$(dirname "$0")/session.sh"
work=$(mktemp -d "${TMPDIR:-/tmp}/on-hidpi-x11.XXXXXX")
trap 'session_end; rm -rf "$work"' EXIT
session_begin on-hidpi-x11 60 "$work"
# Room for the window at twice its size.
start_private_x 1600x1000
printf 'Xft.dpi:\t192\n' | xrdb -nocpp -load -
EXPECT_DEVICE_PIXEL_RATIO=2 QT_QPA_PLATFORM=xcb "$@"
