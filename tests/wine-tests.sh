#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build: the program file itself, then under Wine, on a private X screen and in
# a Wine prefix of its own:
#   1. the C++ tests through CTest, drawing on Qt's offscreen platform;
#   2. the window tests again on Qt's own Windows platform, in real Wine windows;
#   3. a session of znaydar.exe by mouse and keyboard, judged by the pixels on the screen:
#      Start, Check refused with its notice, an answer chosen, Check accepted, Exit;
#   4. the installer: installed silently, the program started from Program Files, and
#      uninstalled silently, leaving nothing behind.
#   wine-tests.sh BUILD_DIR INSTALLER
# Wine is not Windows: what passes here has not been seen on a real Windows 10 or 11.
set -euo pipefail

. "$(dirname "$0")/session.sh"
session_name=wine-tests
say() { session_say "$@"; }
fail() { session_fail "$@"; }
[ $# -eq 2 ] || fail "usage: wine-tests.sh BUILD_DIR INSTALLER"
build=$(cd "$1" && pwd)
installer=$(readlink -f "$2")
wine=/usr/lib/wine/wine64
session_require "$wine" Xvfb xdotool xwd wrestool imagemagick

say "0. the program file"
bash "$(dirname "$0")/check-exe.sh" "$build/dist/znaydar.exe" || fail "znaydar.exe is not what Windows needs"

work=$(mktemp -d "${TMPDIR:-/tmp}/wine-tests.XXXXXX")
# The Wine server of this run's own prefix only, never one of the caller's.
prefix=""
cleanup() {
    set +e
    [ -z "$prefix" ] || WINEPREFIX=$prefix /usr/lib/wine/wineserver -k 2>/dev/null
    session_end
    rm -rf "$work"
}
trap cleanup EXIT
# The session's time: the C++ tests under Wine take most of it.
session_begin wine-tests 3000 "$work"
start_private_x

# A fresh prefix: no earlier run's registry or files. Mono and Gecko are not wanted (no
# .NET, no HTML here), and without them Wine asks no questions while it sets up.
prefix=$work/prefix
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
began=$(date +%s)
"$wine" wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -n 3 "$work/wineboot.log")"
/usr/lib/wine/wineserver -w
say "Wine $("$wine" --version) prefix ready in $(($(date +%s) - began)) s"

# Runs CTest on the build, saying what each run came to. A test function that cannot work
# under Wine skips itself with its reason; CTest counts its program as passed, so the
# reasons are shown here.
run_ctest() {
    local log=$1
    shift
    if ! ctest --test-dir "$build" -V "$@" >"$log" 2>&1; then
        grep -Ev '^[0-9]+: (PASS|QDEBUG|QWARN|QCRITICAL) ' "$log" | tail -n 150
        fail "the tests above failed"
    fi
    grep -E 'tests passed|^Total Test time' "$log" | sed 's/^/wine-tests:    /'
    grep -E '^[0-9]+: SKIP ' "$log" | sed 's/^[0-9]*: SKIP *: */wine-tests:    skipped: /' || true
}

jobs=$(nproc 2>/dev/null || echo 2)
say "1. the C++ tests on the offscreen platform"
run_ctest "$work/offscreen.log" --parallel "$jobs"
say "2. the window tests on Qt's Windows platform, in Wine's windows"
# One at a time: windows of two tests on one screen would take each other's focus.
QT_QPA_PLATFORM=windows run_ctest "$work/windows.log" -L window

# --- 3. a session -------------------------------------------------------------------------
# Starts a copy of the program and waits for its launch screen; Exit ends it. Where Wine
# draws the window's frame inside the X window, the client area starts where the launch
# screen's start button shows it does.
program=""
launch() {
    session_spawn "$work/$2.out" "$wine" "$1"
    program=$spawned
    find_window window Знайдар 120
    step "$window" "$2: the launch screen, its start button yellow" 60 launch_screen
}
quit() {
    click "$window" exit_button
    step "$window" "$1: Exit (mouse) ends the program" 60 ended "$program"
    wait "$program" || fail "$1: the program ended with status $?"
}

say "3. a session of znaydar.exe by mouse and keyboard"
launch "$build/dist/znaydar.exe" session
click "$window" start_button
step "$window" "Start (mouse): the next button in its place" 60 shows next_face 80ff80
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
quit session

# --- 4. the installer -----------------------------------------------------------------------
say "4. the installer, silently"
files='C:\Program Files\Знайдар'
unix_files=$WINEPREFIX/drive_c/Program\ Files/Знайдар
shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Знайдар.lnk
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Znaydar'
"$wine" "$installer" /S || fail "the installer ended with status $?"
/usr/lib/wine/wineserver -w
for file in znaydar.exe uninstall.exe licences/LICENSE licences/LICENSE-OFL-1.1.txt; do
    [ -s "$unix_files/$file" ] || fail "not installed: $files\\$file"
done
[ -s "$shortcut" ] || fail "no «Знайдар» in the Start menu"
# reg query prints through the console's code page, which turns Cyrillic into question
# marks; an exported key is UTF-16.
"$wine" reg export "$key" 'C:\uninstall-key.reg' /y >/dev/null 2>&1 || fail "no uninstaller registered under $key"
registered=$(iconv -f UTF-16 -t UTF-8 "$WINEPREFIX/drive_c/uninstall-key.reg" | tr -d '\r')
for value in '"DisplayName"="Знайдар"' '"QuietUninstallString"="\"C:\\Program Files\\Знайдар\\uninstall.exe\" /S"'; do
    grep -qxF "$value" <<<"$registered" || fail "the uninstaller's registry key lacks $value: $registered"
done
say "   installed: $files, its Start menu entry and its uninstaller"
launch "$unix_files/znaydar.exe" installed
quit installed
# The uninstaller copies itself away and goes on from there, so it is waited for through
# the Wine server, which ends when the last program in the prefix has.
"$wine" "$unix_files/uninstall.exe" /S || fail "the uninstaller ended with status $?"
/usr/lib/wine/wineserver -w
[ ! -e "$unix_files" ] || fail "left behind: $(cd "$unix_files" && find . | head -n 5 | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the Start menu entry is left behind"
! "$wine" reg query "$key" >/dev/null 2>&1 || fail "the uninstaller's registry key is left behind"
say "   uninstalled: nothing left in Program Files, the Start menu or the registry"
say "PASS: the Windows build under $("$wine" --version)"
