# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced, after session.sh, by the scripts that run the Windows program under Wine: a fresh
# Wine prefix of the run's own on the session's private X screen, the program started and
# ended in it, and the end of it all. Debian 12's Wine 8 and Debian 13's Wine 10 alike.
#
#   wine_build JOB ARGS... FILE   the job's one argument, the Windows build after its
#                                 installer target: sets build, reads its product.env, and
#                                 checks that FILE (a name from it, e.g. "$msi") is there
#   wine_begin NAME SECONDS       session_begin in a folder of its own, a private X screen,
#                                 and a fresh prefix in that folder (WINEPREFIX, exported)
#   wine_wait                     waits until every program in the prefix has ended
#   wine_launch EXE WHAT          starts a copy of EXE and waits for its launch screen: sets
#                                 window and program
#   wine_quit WHAT                Exit by mouse, and the program ends with status 0
# The window's title is the product's $name (session_product).
# Wine is not Windows: what passes here has not been seen on a real Windows 10 or 11.

if [ -x /usr/lib/wine/wine64 ]; then
    wine=/usr/lib/wine/wine64
    wineserver=/usr/lib/wine/wineserver
else
    wine=$(command -v wine || echo wine)
    wineserver=$(command -v wineserver || echo wineserver)
fi
wine_folder=""

wine_build() {
    local job=$1 file=${*: -1}
    [ $# -eq 3 ] || session_fail "usage: $job.sh BUILD_DIR"
    build=$(cd "$2" && pwd)
    session_product "$build" || session_fail "no product.env in $build"
    local wanted=${!file}
    [ -s "$build/$wanted" ] || session_fail "no $build/$wanted: build the installer target first"
}

wine_begin() {
    local began
    wine_folder=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
    trap wine_end EXIT
    session_begin "$1" "$2" "$wine_folder"
    session_require "$wine" Xvfb xdotool xwd imagemagick
    start_private_x
    # No earlier run's registry or files. Mono and Gecko are not wanted (no .NET, no HTML
    # here), and without them Wine asks no questions while it sets up.
    export WINEPREFIX=$wine_folder/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    began=$EPOCHSECONDS
    "$wine" wineboot --init >"$wine_folder/wineboot.log" 2>&1 ||
        session_fail "wineboot failed: $(tail -n 3 "$wine_folder/wineboot.log")"
    wine_wait
    session_say "$("$wine" --version) prefix ready in $((EPOCHSECONDS - began)) s"
}

wine_wait() { "$wineserver" -w; }

# The Wine server of this run's own prefix only, never one of the caller's.
wine_end() {
    set +e
    [ -z "$wine_folder" ] || WINEPREFIX=$wine_folder/prefix "$wineserver" -k 2>/dev/null
    session_end
    [ -z "$wine_folder" ] || rm -rf "$wine_folder"
}

# Where Wine draws the window's frame inside the X window, the client area starts where the
# launch screen's start button shows it does.
program=""
wine_launch() {
    session_spawn "$wine_folder/$2.out" "$wine" "$1"
    program=$spawned
    find_window window "$name" 120
    step "$window" "$2: the launch screen, its start button yellow" 60 launch_screen
}

wine_quit() {
    click "$window" exit_button
    step "$window" "$1: Exit (mouse) ends the program" 60 ended "$program"
    wait "$program" || session_fail "$1: the program ended with status $?"
}
