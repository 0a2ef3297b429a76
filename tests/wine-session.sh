#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A session of znaydar.exe under Wine by mouse and keyboard, judged by the pixels on the
# screen: Start, Check refused with its notice closed by Enter, an answer chosen with
# Shift+Tab and Space, Check accepted, Exit.
#   wine-session.sh BUILD_DIR
# BUILD_DIR is the Windows build after its installer target: dist/ and product.env.
set -euo pipefail
here=$(dirname "$0")
. "$here/session.sh"
. "$here/wine.sh"
session_name=wine-session
wine_build wine-session "$@" exe
wine_begin wine-session 500

wine_launch "$build/$exe" session
click "$window" start_button
step "$window" "Start (mouse): the next button in its place" 60 shows next_face
click "$window" check_button
# Wine passes a key to the focused Windows window itself, whichever X window has the focus.
step "$window" "Check with nothing chosen (mouse): the notice" 60 notice_open
press Return
step "$window" "the notice closed with Enter (keyboard)" 60 notice_closed
# The notice gives the focus back to Check; Shift+Tab leads to the answers, Space chooses.
press shift+Tab
press space
step "$window" "an answer chosen with Shift+Tab and Space (keyboard)" 60 chosen
click "$window" check_button
step "$window" "Check (mouse): «Ответ принят»" 60 accepted
wine_quit session
session_say "PASS: a session of the Windows program under $("$wine" --version)"
