# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the test scripts that need a real X screen: starts a private one (no window
# manager, nothing reachable over TCP) on a free display, its files in the folder given,
# 1024x768 unless another size is given. Sets xvfb to its process id, for the caller to
# end, and display to its number, and exports DISPLAY. The caller's fail() reports a screen
# that does not start. The screen keeps its settings (xrdb) when its last client leaves.
start_private_x() {
    local folder=$1 size=${2:-1024x768}
    Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 "${size}x24" 3>"$folder/display" 2>"$folder/xvfb.log" &
    xvfb=$!
    for _ in $(seq 300); do
        [ -s "$folder/display" ] && break
        kill -0 "$xvfb" 2>/dev/null || fail "Xvfb did not start: $(tail -n 3 "$folder/xvfb.log")"
        sleep 0.1
    done
    read -r display <"$folder/display" || fail "Xvfb gave no display number within 30 s"
    export DISPLAY=":$display"
}

# The colour of a window's pixel, as six hex digits (rrggbb), read off the X screen itself:
# what the pupil sees, not what the program thinks it drew.
#   window_pixel WINDOW X Y
window_pixel() {
    window_row "$1" "$2" "$3" 1
}

# The colours of COUNT pixels of a window's row, from X rightwards, one rrggbb a line.
#   window_row WINDOW X Y COUNT
window_row() {
    local shot header offset
    shot=$(mktemp "${TMPDIR:-/tmp}/window.XXXXXX")
    if ! xwd -silent -id "$1" >"$shot" 2>/dev/null; then
        rm -f "$shot"
        return 1
    fi
    # The dump's header is 25 big-endian words: its own size, the byte order of the pixels
    # (word 7), bits a pixel (11), bytes a line (12), then a colour map of 12-byte entries
    # (19); the pixels follow.
    read -r -a header < <(od -An -tu4 --endian=big -w100 -N100 "$shot")
    offset=$((header[0] + header[19] * 12 + $3 * header[12] + $2 * header[11] / 8))
    od -An -v -tx1 -w4 -j "$offset" -N $(($4 * 4)) "$shot" |
        awk -v msb="${header[7]}" '{ print msb == 1 ? $2 $3 $4 : $3 $2 $1 }'
    rm -f "$shot"
}

# Waits until CONDITION (a command, given the window) holds, looking every tenth of a
# second for at most SECONDS; says whether it came to hold.
#   wait_until SECONDS CONDITION [ARGS...]
wait_until() {
    local tries=$(($1 * 10))
    shift
    while ! "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

# A scripted session on the program's window: the caller sets window, and origin_x and
# origin_y where a frame drawn inside the X window moves the client area. Places are the
# design's pixels at 100 %.
origin_x=0
origin_y=0
click() { xdotool mousemove --window "$window" $((origin_x + $1)) $((origin_y + $2)) click 1; }
shows() { [ "$(window_pixel "$window" $((origin_x + $1)) $((origin_y + $2)))" = "$3" ]; }
# The middle of an answer's round mark, on any of the four rows, is dark once it is chosen.
chosen() {
    local row
    for row in 204 240 280 320; do
        [[ "$(window_pixel "$window" $((origin_x + 111)) $((origin_y + row)))" =~ ^[0-7][0-9a-f][0-7][0-9a-f][0-7][0-9a-f]$ ]] &&
            return 0
    done
    return 1
}
# The status line shows «Ответ принят» in dark red.
accepted() { window_row "$window" $((origin_x + 280)) $((origin_y + 400)) 161 | grep -qx c00000; }
notice() { xdotool search --onlyvisible --name '^Внимание!$' 2>/dev/null | head -n 1; }
notice_open() { [ -n "$(notice)" ]; }
notice_closed() { [ -z "$(notice)" ]; }
