# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the test scripts that need a real X screen: starts a private one (no window
# manager, nothing reachable over TCP) on a free display, its files in the folder given.
# Sets xvfb to its process id, for the caller to end, and display to its number, and
# exports DISPLAY. The caller's fail() reports a screen that does not start.
start_private_x() {
    local folder=$1
    Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$folder/display" 2>"$folder/xvfb.log" &
    xvfb=$!
    for _ in $(seq 100); do
        [ -s "$folder/display" ] && break
        kill -0 "$xvfb" 2>/dev/null || fail "Xvfb did not start: $(tail -n 3 "$folder/xvfb.log")"
        sleep 0.1
    done
    read -r display <"$folder/display" || fail "Xvfb gave no display number within 10 s"
    export DISPLAY=":$display"
}
