#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up cost of the program against the floor (an empty window of the same widgets, see
# floor.cpp): time from exec until the window is mapped, and resident memory at that moment.
#
#   startup.sh [options] BUILD_DIR          uses BUILD_DIR/bench/znaydar_floor and BUILD_DIR/app/znaydar
#   startup.sh [options] FLOOR PROGRAM
#
#   --runs N       timed runs of each program (default 9), alternating floor and program
#   --warmup N     untimed runs of each first, to fill the disk and font caches (default 1)
#   --quick        one run each and no warm-up: only shows the measurement works
#   --title TEXT   the program's window title (default: the name in the build's product.env)
#   --timeout S    seconds one start may take before it counts as a failure (default 30)
#
# How "the window is up" is seen: the script runs its own Xvfb with no window manager and
# listens on the root window for SubstructureNotify through `xev -root`. A top-level window's
# MapNotify comes out of the X server the moment the window becomes viewable, and Qt maps a
# window only after it has built, polished and laid out every widget in it, so that moment is
# the end of start-up as a person sees it. Waiting on the event costs nothing while the program
# starts, unlike polling with xdotool or xwininfo, whose own process starts would compete with
# it for the two cores and round every time up to the polling step. The clock is bash's
# EPOCHREALTIME (microseconds, no process started to read it), taken just before the fork and
# again as soon as the MapNotify line arrives; VmRSS is read from /proc in the same instant.
set -euo pipefail
export LC_ALL=C.UTF-8

runs=9
warmup=1
title=""
floor_title=floor
timeout=30

usage() {
    sed -n '5,12p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
}

positional=()
while [ $# -gt 0 ]; do
    case $1 in
        --runs) runs=${2:?}; shift 2 ;;
        --warmup) warmup=${2:?}; shift 2 ;;
        --quick) runs=1; warmup=0; shift ;;
        --title) title=${2:?}; shift 2 ;;
        --timeout) timeout=${2:?}; shift 2 ;;
        -h|--help) usage ;;
        -*) echo "unknown option $1" >&2; usage ;;
        *) positional+=("$1"); shift ;;
    esac
done
case ${#positional[@]} in
    1) floor=${positional[0]}/bench/znaydar_floor; program=${positional[0]}/app/znaydar ;;
    2) floor=${positional[0]}; program=${positional[1]} ;;
    *) usage ;;
esac
[[ "$runs" =~ ^[1-9][0-9]*$ && "$warmup" =~ ^[0-9]+$ && "$timeout" =~ ^[1-9][0-9]*$ ]] || usage
for exe in "$floor" "$program"; do
    [ -x "$exe" ] || { echo "not an executable: $exe" >&2; exit 1; }
done
for tool in Xvfb xev xprop; do
    command -v "$tool" >/dev/null || { echo "$tool is missing (packages xvfb, x11-utils)" >&2; exit 1; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/znaydar-bench.XXXXXX")
xev_pid=""
app_pid=""

# stop_app: ends the program being measured, if one is running.
stop_app() {
    [ -n "$app_pid" ] || return 0
    kill "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
    app_pid=""
}

. "$(dirname "$0")/../tests/session.sh"
if [ -z "$title" ]; then
    session_product "$program" || { echo "no product.env in the build of $program: give --title" >&2; exit 1; }
    title=$name
fi
cleanup() {
    stop_app
    [ -z "$xev_pid" ] || kill "$xev_pid" 2>/dev/null || true
    session_end
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
session_begin startup 120 "$work"
start_private_x 1280x1024
export QT_QPA_PLATFORM=xcb

# Root-window events arrive through a FIFO on a descriptor of this shell, so reading them needs
# no process start. PropertyNotify is selected only for the handshake below.
mkfifo "$work/events"
xev -root -event substructure -event property >"$work/events" 2>"$work/xev.log" &
xev_pid=$!
exec {events}<"$work/events"

# Wait until xev is really listening: keep changing a root property until xev reports it.
ready=no
for attempt in $(seq 50); do
    xprop -root -f _ZNAYDAR_BENCH 8s -set _ZNAYDAR_BENCH "$attempt"
    while read -r -t 0.2 -u "$events" line; do
        [[ "$line" == PropertyNotify* ]] && { ready=yes; break 2; }
    done
done
[ "$ready" = yes ] || { cat "$work/xev.log" >&2; echo "xev does not report root-window events" >&2; exit 1; }

# Sets now_us to the wall clock in microseconds, without starting a process.
clock() {
    local t=$EPOCHREALTIME
    now_us=$((10#${t%.*} * 1000000 + 10#${t#*.}))
}

# measure EXE TITLE: one start; sets took_us and rss_kib, or fails showing the program's output.
measure() {
    local exe=$1 want=$2 line window start key value _ name deadline
    # Let the previous program's teardown finish first, and drop the events it left behind.
    while read -r -t 0.2 -u "$events" line; do :; done
    clock
    start=$now_us
    "$exe" >"$work/app.log" 2>&1 &
    app_pid=$!
    deadline=$((start + timeout * 1000000))
    while :; do
        if ! read -r -t 0.2 -u "$events" line; then
            clock
            if ! kill -0 "$app_pid" 2>/dev/null; then
                stop_app
                cat "$work/app.log" >&2
                echo "$exe exited without mapping a window called '$want'" >&2
                return 1
            fi
            if [ "$now_us" -gt "$deadline" ]; then
                stop_app
                cat "$work/app.log" >&2
                echo "$exe mapped no window called '$want' within ${timeout}s" >&2
                return 1
            fi
            continue
        fi
        [[ "$line" == MapNotify* ]] || continue
        clock
        took_us=$((now_us - start))
        rss_kib=""
        if [ -r "/proc/$app_pid/status" ]; then
            while read -r key value _; do
                [ "$key" = VmRSS: ] && rss_kib=$value
            done <"/proc/$app_pid/status"
        fi
        # The second line of the event names the window: "event 0x..., window 0x..., ...".
        read -r -t 1 -u "$events" line || continue
        window=$(sed -n 's/.*, window \(0x[0-9a-f]*\),.*/\1/p' <<<"$line")
        [ -n "$window" ] || continue
        name=$(xprop -id "$window" _NET_WM_NAME 2>/dev/null | sed -n 's/^[^"]*"\(.*\)"$/\1/p')
        [ "$name" = "$want" ] && break
    done
    # A read that found no VmRSS line (the status file caught mid-update) is taken again
    # while the window is still up.
    if [ -z "$rss_kib" ] && [ -r "/proc/$app_pid/status" ]; then
        while read -r key value _; do
            [ "$key" = VmRSS: ] && rss_kib=$value
        done <"/proc/$app_pid/status"
    fi
    stop_app
    [ -n "$rss_kib" ] || { echo "no VmRSS for $exe" >&2; return 1; }
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

for _ in $(seq "$warmup"); do
    measure "$floor" "$floor_title"
    measure "$program" "$title"
done

: >"$work/floor"
: >"$work/program"
for i in $(seq "$runs"); do
    measure "$floor" "$floor_title"
    ft=$took_us fm=$rss_kib
    measure "$program" "$title"
    pt=$took_us pm=$rss_kib
    echo "$ft $fm" >>"$work/floor"
    echo "$pt $pm" >>"$work/program"
    awk -v i="$i" -v ft="$ft" -v fm="$fm" -v pt="$pt" -v pm="$pm" 'BEGIN {
        printf "run %2d   floor %7.1f ms %7d KiB   program %7.1f ms %7d KiB\n", i, ft / 1000, fm, pt / 1000, pm }'
done

floor_time=$(cut -d' ' -f1 "$work/floor" | median)
floor_rss=$(cut -d' ' -f2 "$work/floor" | median)
program_time=$(cut -d' ' -f1 "$work/program" | median)
program_rss=$(cut -d' ' -f2 "$work/program" | median)

echo
echo "medians of $runs run(s) each, after $warmup warm-up run(s) each, on Xvfb $DISPLAY"
awk -v ft="$floor_time" -v fm="$floor_rss" -v pt="$program_time" -v pm="$program_rss" \
    -v fname="$(basename "$floor")" -v pname="$(basename "$program")" 'BEGIN {
    printf "%-26s %14s %14s\n", "", "start-up ms", "VmRSS KiB"
    printf "%-26s %14.1f %14d\n", "floor (" fname ")", ft / 1000, fm
    printf "%-26s %14.1f %14d\n", "program (" pname ")", pt / 1000, pm
    printf "%-26s %14.2f %14.2f\n", "ratio program/floor", pt / ft, pm / fm
}'
