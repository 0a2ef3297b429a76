# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by every script that drives the real window on an X screen: a private X screen,
# the window found by its title, clicks on named places, keys, waiting for what the window
# shows, its pixels, and the end of every process started here.
#
#   session_begin NAME SECONDS FOLDER   first of all: the name that starts every line the
#                                       session prints, the whole session's time (kept
#                                       below CTest's limit for the script), and a private
#                                       folder for the session's files
#   session_product BUILD|PROGRAM       the product's details from the build's product.env
#                                       ($name, the window's title, and the rest), given the
#                                       build folder or a program inside it; fails if none
#   start_private_x [SIZE]              an X screen of its own on a free display, 1024x768
#                                       unless SIZE is given, where a held key does not
#                                       repeat; exports DISPLAY and
#                                       sets session_display to the display's number
#   session_spawn OUTPUT COMMAND...     starts COMMAND in the background, its output to
#                                       OUTPUT; sets spawned to its process id
#   find_window VARIABLE TITLE [SECONDS]  sets VARIABLE to the visible window of that title
#   click WINDOW PLACE / press KEY...   a click on a place of tests/places.txt; keys
#   double_click WINDOW PLACE           a double-click there
#   shows WINDOW PLACE [COLOUR]         the place shows COLOUR, or the colour places.txt
#                                       gives it
#   step WINDOW WHAT SECONDS CONDITION [ARGS...]
#                                       says WHAT, then waits until CONDITION WINDOW ARGS
#                                       holds (shows, chosen, accepted, notice_open, ...)
#   within SECONDS COMMAND...           waits until COMMAND holds; says whether it did
#   session_end                         ends every process started here, by id
#
# Each step says what it waits for before it waits, so a run ended from outside still
# shows where it stood; a step that fails says what the window showed instead, or what the
# script's own session_describe WINDOW says. A script may define session_explain, which
# a failure runs before it ends the script, to show what else the script knows.

session_name=session
session_deadline=0
session_step_no=0
session_folder=""
session_display=""
# The window's scale factor: the places are the design's pixels at 100 %.
session_scale=1
session_pids=()
spawned=""
declare -A session_places=()
declare -A session_colours=()
declare -A session_origin=()

session_say() { printf '%s: %s\n' "$session_name" "$*"; }
session_fail() {
    session_say "FAIL: $*" >&2
    ! declare -F session_explain >/dev/null || session_explain >&2
    exit 1
}

# Fails naming the Debian packages when a tool the session needs is missing.
session_require() {
    local tool
    for tool in "$@"; do
        case $tool in
        imagemagick) [ -x /usr/bin/magick ] || [ -x /usr/bin/convert ] ;;
        *) command -v "$tool" >/dev/null ;;
        esac || session_fail "$tool is missing (Debian packages: xvfb xdotool x11-apps x11-utils imagemagick, and the tool's own)"
    done
}

session_begin() {
    session_name=$1
    session_deadline=$((EPOCHSECONDS + $2))
    session_folder=$3
    local name x y colour _
    while read -r name x y _ _ colour _; do
        [[ -z "$name" || "$name" == '#'* ]] && continue
        session_places[$name]="$x $y"
        session_colours[$name]=$colour
    done <"$(dirname "${BASH_SOURCE[0]}")/places.txt"
}

session_product() {
    local dir
    for dir in "$1" "$(dirname "$1")/.."; do
        if [ -f "$dir/product.env" ]; then
            . "$dir/product.env"
            return 0
        fi
    done
    return 1
}

# Seconds left of the session's time, at least one.
session_left() {
    local left=$((session_deadline - EPOCHSECONDS))
    echo $((left > 0 ? left : 1))
}

# The private X screen has no window manager and takes no TCP connections. A key that the
# script presses is one press, even should its release never come: auto-repeat is off.
start_private_x() {
    local size=${1:-1024x768}
    Xvfb -displayfd 3 -noreset -nolisten tcp -r -screen 0 "${size}x24" \
        3>"$session_folder/display" 2>"$session_folder/xvfb.log" &
    session_pids+=("$!")
    local xvfb=$!
    until [ -s "$session_folder/display" ]; do
        kill -0 "$xvfb" 2>/dev/null || session_fail "Xvfb did not start: $(tail -n 3 "$session_folder/xvfb.log")"
        [ "$EPOCHSECONDS" -lt "$session_deadline" ] || session_fail "Xvfb gave no display number in time"
        sleep 0.1
    done
    read -r session_display <"$session_folder/display"
    export DISPLAY=":$session_display"
}

session_spawn() {
    local output=$1
    shift
    "$@" >"$output" 2>&1 &
    spawned=$!
    session_pids+=("$spawned")
}

# Ends a process started here, politely and then for good; the shell's report of a killed
# child is of no interest.
session_stop() {
    local pid=$1
    kill "$pid" 2>/dev/null || return 0
    for _ in $(seq 15); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# Every process started here, the X screen last.
session_end() {
    local i
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        session_stop "${session_pids[i]}"
    done
    session_pids=()
}

find_window() {
    local variable=$1 title=$2 seconds=${3:-60} found
    [ "$seconds" -le "$(session_left)" ] || seconds=$(session_left)
    session_say "waiting for the window «$title»"
    found=$(timeout "$seconds" xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null | head -n 1) || true
    [ -n "$found" ] || session_fail "the window «$title» did not appear within $seconds s"
    printf -v "$variable" '%s' "$found"
}

# The client area's place in the X window, found on the screen rather than assumed: the
# launch screen's yellow start face, less its place in the design. Linux windows have no
# frame of their own (0 0); Wine draws one where no window manager does. Says whether the
# face was there to be found.
find_origin() {
    local window=$1 box x y
    box=$(window_shot "$window" | magick_ xwd:- -fill black +opaque "#${session_colours[start_corner]}" -format '%@' info: 2>/dev/null) ||
        return 1
    [[ "$box" =~ ^[0-9]+x[0-9]+\+([0-9]+)\+([0-9]+)$ ]] || return 1
    read -r x y <<<"${session_places[start_corner]}"
    x=$((BASH_REMATCH[1] - x))
    y=$((BASH_REMATCH[2] - y))
    [ "$x" -ge 0 ] && [ "$y" -ge 0 ] || return 1
    session_origin[$window]="$x $y"
}

# A place of tests/places.txt in the X window's pixels: sets at_x and at_y.
at() {
    local window=$1 place=$2 x y ox=0 oy=0
    [ -n "${session_places[$place]:-}" ] || session_fail "no place called $place in tests/places.txt"
    read -r x y <<<"${session_places[$place]}"
    [ -z "${session_origin[$window]:-}" ] || read -r ox oy <<<"${session_origin[$window]}"
    at_x=$((ox + x * session_scale))
    at_y=$((oy + y * session_scale))
}

click() {
    at "$1" "$2"
    xdotool mousemove --window "$1" "$at_x" "$at_y" click 1
}
# Two clicks on the same spot 50 ms apart, well within any desktop's double-click time.
double_click() {
    at "$1" "$2"
    xdotool mousemove --window "$1" "$at_x" "$at_y" click --repeat 2 --delay 50 1
}

# Keys to whichever window has the focus, as a keyboard sends them. Not with --window: when
# the press closes the window it went to (Enter on a notice), xdotool stops at the X error
# before the release, and the key stays down.
press() { xdotool key --clearmodifiers "$@"; }

# ImageMagick reads the pixels. Debian 13's ImageMagick 7 is called magick; a convert
# earlier on the PATH may be something else, so the system's own is named.
magick_() {
    if [ -x /usr/bin/magick ]; then /usr/bin/magick "$@"; else /usr/bin/convert "$@"; fi
}
window_shot() { xwd -silent -id "$1" 2>/dev/null; }

# The colours of COUNT design pixels of a window from a place rightwards (or downwards with
# "down"), one rrggbb a device pixel: what the pupil sees, not what the program thinks it
# drew. With FILE, read from that dump of the window rather than a new one.
pixels() {
    local window=$1 place=$2 count=$((${3:-1} * session_scale)) geometry file=${5:-}
    geometry="${count}x1"
    [ "${4:-}" != down ] || geometry="1x$count"
    at "$window" "$place"
    { if [ -n "$file" ]; then cat "$file"; else window_shot "$window"; fi; } |
        magick_ xwd:- -crop "$geometry+$at_x+$at_y" +repage -depth 8 txt:- 2>/dev/null |
        sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | tr 'A-F' 'a-f'
}

# Conditions on a window, for step; each takes the window first.
shows() { [ "$(pixels "$1" "$2" | head -n 1)" = "${3:-${session_colours[$2]}}" ]; }
# The launch screen, its start button yellow; where the window starts is taken from it.
launch_screen() { find_origin "$1" && shows "$1" start_face; }
# The middle of an answer's round mark is dark once the answer is chosen, on any row.
chosen() {
    local shot="$session_folder/chosen.xwd" row
    window_shot "$1" >"$shot" || return 1
    for row in 1 2 3 4; do
        pixels "$1" "answer_mark_$row" 1 "" "$shot" | head -n 1 | grep -qE '^[0-7][0-9a-f][0-7][0-9a-f][0-7][0-9a-f]$' &&
            return 0
    done
    return 1
}
# The status line shows «Ответ принят» in dark red, somewhere along it.
accepted() {
    local from to
    from=${session_places[status_line]%% *}
    to=${session_places[status_end]%% *}
    pixels "$1" status_line $((to - from + 1)) | grep -qx "${session_colours[status_line]}"
}
not_accepted() { ! accepted "$1"; }
notice() { xdotool search --onlyvisible --name '^Внимание!$' 2>/dev/null | head -n 1; }
notice_open() { [ -n "$(notice)" ]; }
# A notice is open and has the keyboard: a key pressed now is the notice's.
notice_focused() {
    local open
    open=$(notice)
    [ -n "$open" ] && [ "$(xdotool getwindowfocus 2>/dev/null)" = "$open" ]
}
notice_closed() { [ -z "$(notice)" ]; }
# The program of process id $2 has ended.
ended() { ! kill -0 "$2" 2>/dev/null; }

# What the window shows, in words, for a step that did not see what it waited for.
describe_window() {
    local window=$1 face what
    face=$(pixels "$window" start_face | head -n 1)
    case $face in
    "") what="no window to read" ;;
    "${session_colours[start_face]}") what="the launch screen" ;;
    "${session_colours[next_face]}") what="a question" ;;
    *) what="the start button's place in colour $face" ;;
    esac
    if chosen "$window"; then what+=", an answer chosen"; else what+=", no answer chosen"; fi
    if accepted "$window"; then what+=", «Ответ принят»"; else what+=", no verdict"; fi
    if notice_open; then what+=", a notice open"; else what+=", no notice"; fi
    echo "the window showed $what"
}

# Looks every tenth of a second until COMMAND holds, for SECONDS at most and never past the
# session's time.
within() {
    local seconds=$1 until
    shift
    [ "$seconds" -le "$(session_left)" ] || seconds=$(session_left)
    until=$((EPOCHSECONDS + seconds))
    until "$@"; do
        [ "$EPOCHSECONDS" -lt "$until" ] || return 1
        sleep 0.1
    done
}

# Says what the session waits for, then waits until the condition holds on the window.
step() {
    local window=$1 what=$2 seconds=$3 condition=$4 describe=describe_window
    shift 4
    ! declare -F session_describe >/dev/null || describe=session_describe
    session_step_no=$((session_step_no + 1))
    session_say "step $session_step_no: $what"
    [ "$seconds" -le "$(session_left)" ] || seconds=$(session_left)
    within "$seconds" "$condition" "$window" "$@" ||
        session_fail "step $session_step_no, $what: not seen within $seconds s; $("$describe" "$window")"
}
