#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program started where there is no X screen, with no DISPLAY at all and with one that
# no server serves, must say so in one line, in Russian and in English, on its error output
# and end with status 1: not list the toolkit's plugins and abort. Started as over SSH as
# root, it must leave nothing behind in the home and temporary folder it was given.
#   no-display.sh PROGRAM
set -euo pipefail
. "$(dirname "$0")/session.sh"
session_name=no-display
[ $# -eq 1 ] || session_fail "usage: no-display.sh PROGRAM"
program=$1
work=$(mktemp -d "${TMPDIR:-/tmp}/no-display.XXXXXX")
trap 'rm -rf "$work"' EXIT
session_begin no-display 60 "$work"

number=$((4000 + RANDOM % 1000))
out=$session_folder/no-display.out
err=$session_folder/no-display.err
# A display number far above those private X screens take (the lowest free one), so that
# none started beside this check takes it in between. X servers listen on a file and on
# an abstract socket, which a chroot shares with the host.
while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] ||
    grep -q "@/tmp/.X11-unix/X$number\$" /proc/net/unix; do
    number=$((number + 1))
done
for display in "" ":$number"; do
    what="with no DISPLAY"
    [ -z "$display" ] || what="with DISPLAY=$display, where no X server is"
    session_say "started $what"
    status=0
    # As over SSH as root: no session bus, no runtime folder, and a home and temporary
    # folder of its own, which must stay empty.
    rm -rf "$session_folder/no-display"
    mkdir -p "$session_folder/no-display/home" "$session_folder/no-display/tmp"
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE -u XDG_RUNTIME_DIR \
        -u DBUS_SESSION_BUS_ADDRESS HOME="$session_folder/no-display/home" TMPDIR="$session_folder/no-display/tmp" \
        ${display:+DISPLAY=$display} "$program" >"$out" 2>"$err" </dev/null || status=$?
    [ "$status" -eq 1 ] || session_fail "started $what, the program ended with status $status: $(head -c 600 "$err")"
    [ "$(wc -l <"$err")" -eq 1 ] || session_fail "started $what, the program said $(wc -l <"$err") lines, not one: $(head -c 600 "$err")"
    # Cyrillic letters begin with one of these two bytes in UTF-8.
    if ! LC_ALL=C grep -q $'[\xd0\xd1]' "$err" || ! LC_ALL=C grep -Eq '[A-Za-z]{4} [a-z]' "$err"; then
        session_fail "started $what, the program did not say so in Russian and English: $(cat "$err")"
    fi
    [ ! -s "$out" ] || session_fail "started $what, the program wrote to its standard output: $(head -c 200 "$out")"
    left=$(cd "$session_folder/no-display" && find home tmp -mindepth 1 | head -n 5)
    [ -z "$left" ] || session_fail "started $what, the program left behind: $left"
done
