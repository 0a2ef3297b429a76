# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced, after session.sh, by tests/orca-listens.sh: the real Orca screen reader on a
# private X screen with its own session bus and accessibility bus, and what it says, read
# from its debug log, where each utterance is a line "SPEECH OUTPUT: '...'". Orca follows
# the program's window, $window; the program is $app, its output in $work/program.out.
#
#   orca_begin NAME SECONDS       session_begin in a folder of its own ($work), a private X
#                                 screen, an empty home, and a session bus (exported)
#   orca_start                    starts Orca and waits until it says it is on
#   to_front FAILURE              brings the window to the front and waits until Orca
#                                 presents it; fails saying FAILURE if it never does
#   key KEY WHAT EXPECTED         presses KEY and waits until Orca says something matching
#                                 EXPECTED; what it said goes to $transcript and stays in $said
#   expect / refuse PATTERN WHAT  what the last key brought holds / lacks PATTERN, or the
#                                 pupil missed WHAT
#   heard_after LINE              what Orca has said after that line of its log
#
# A command started with "${marked[@]}" before it carries the session's mark; at the end the
# program, Orca, the buses and whatever else carries the mark are ended, by id.

work=""
debug=""
transcript=""
bus_keeper=""
marked=()

# Every process this session starts carries a mark in its environment, handed on to the
# helpers the buses start on demand; the clean-up (orca_end) finds them by it, and nothing
# else on the machine. The script's own commands go unmarked.
ours() {
    local environ
    for environ in $(grep -lzxF "ORCA_LISTENS_SESSION=$work" /proc/[0-9]*/environ 2>/dev/null); do
        environ=${environ#/proc/}
        echo "${environ%/environ}"
    done
}

orca_end() {
    set +e
    local pid
    for pid in ${app:-} ${orca:-}; do
        session_stop "$pid"
    done
    # The session bus goes with its keeper; whatever it started goes with the bus, and
    # anything still left is ended here, by id.
    [ -z "$bus_keeper" ] || kill "$bus_keeper" 2>/dev/null
    [ -z "${bus_session:-}" ] || session_stop "$bus_session"
    within 2 test -z "$(ours)"
    for pid in $(ours); do
        kill -KILL "$pid" 2>/dev/null
    done
    session_end
    rm -rf "$work"
}

# What Orca has said after line $1 of its log, one utterance a line, without the echo of
# the keys pressed (Orca 43: "space ", "tab ", "Return "; Orca 48: "space", "left shift").
heard_after() {
    tail -n +"$(($1 + 1))" "$debug" 2>/dev/null | sed -n "s/^.* - SPEECH OUTPUT: '//p" |
        sed "s/' *{'established.*\$//; s/'\$//" | grep -Ev '^([[:alnum:]_ ]+ |space|tab|return|left shift)$' || true
}
log_lines() { wc -l <"$debug" 2>/dev/null || echo 0; }
# The condition of a step: Orca has said something matching the extended regular
# expression $3 since line $2 of its log.
said() { heard_after "$2" | grep -Eq -- "$3"; }
# Then the log is quiet a moment, so that the rest of the same announcement belongs to the
# step that brought it.
quiet() {
    local size last=-1
    for _ in $(seq 30); do
        size=$(stat -c %s "$debug")
        [ "$size" = "$last" ] && break
        last=$size
        sleep 0.15
    done
}

# A step not heard says what Orca said instead; the failure then shows the whole session's
# speech, key by key, and the program's and Orca's last words.
pending=""
session_describe() {
    if [ -n "$pending" ]; then echo "Orca said «$(heard_after "${pending##* }" | tr '\n' ' ')»"; else describe_window "$1"; fi
}
session_explain() {
    [ -z "$pending" ] || record "${pending% *}" "${pending##* }"
    if [ -s "$transcript" ]; then
        session_say "what Orca said, key by key:"
        sed 's/^/  /' "$transcript"
    fi
    [ ! -s "$work/program.out" ] || { session_say "the program's last words:"; tail -n 5 "$work/program.out"; }
    [ ! -s "$work/orca.out" ] || { session_say "Orca's last words:"; tail -n 5 "$work/orca.out"; }
}
fail() { session_fail "step $session_step_no: $*"; }

keys=0
# One key press of the session: press $1, described as $2, and wait for $3 to be heard.
# What was heard goes to the transcript and stays in $said for the step's own checks.
key() {
    local key=$1 what=$2 expect=$3 since
    keys=$((keys + 1))
    since=$(log_lines)
    pending="$what ($key) $since"
    press "$key"
    step "$window" "$what ($key)" 10 said "$since" "$expect"
    quiet
    record "$what ($key)" "$since"
    pending=""
}
record() {
    said=$(heard_after "$2")
    {
        printf '%s:\n' "$1"
        if [ -n "$said" ]; then sed 's/^/    /' <<<"$said"; else echo "    (silence)"; fi
    } >>"$transcript"
}
# The step's speech holds a line matching $1; $2 says what the pupil missed.
expect() { grep -Eq -- "$1" <<<"$said" || fail "$2"; }
refuse() { ! grep -Eq -- "$1" <<<"$said" || fail "$2"; }

orca_begin() {
    work=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
    debug="$work/orca.debug"
    transcript="$work/transcript"
    marked=(env "ORCA_LISTENS_SESSION=$work")
    trap orca_end EXIT
    mkdir -m 700 "$work/home" "$work/runtime"
    # No sound device here, and a speech server waiting for one would stall Orca: its speech
    # module fails to import, so Orca runs without a server and still logs every utterance.
    mkdir -p "$work/python/speechd"
    echo 'raise ImportError("no speech server while testing")' >"$work/python/speechd/__init__.py"
    # Orca refuses to start while any other Orca of the same user runs, found by process name
    # across the whole machine, and names itself so that others find it. This one serves only
    # its private screen and buses: it takes another name and does not look for others, so a
    # teacher's own Orca, or another build's test, neither stops it nor is stopped by it.
    printf 'def setproctitle(name):\n    pass\n' >"$work/python/setproctitle.py"
    mkdir "$work/bin"
    printf '#!/bin/sh\nexit 1\n' >"$work/bin/pgrep"
    chmod +x "$work/bin/pgrep"
    # Orca writes its log through a large buffer; read while Orca runs, it must come line by line.
    cat >"$work/python/sitecustomize.py" <<'EOF_PY'
import builtins
import os

_open = builtins.open
_log = os.environ.get("ORCA_LISTENS_LOG")


def _line_by_line(file, mode="r", buffering=-1, *args, **kwargs):
    if _log and file == _log and "w" in mode and "b" not in mode:
        buffering = 1
    return _open(file, mode, buffering, *args, **kwargs)


builtins.open = _line_by_line
EOF_PY

    session_begin "$1" "$2" "$work"
    start_private_x

    export HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share" \
        XDG_CACHE_HOME="$work/home/.cache" GSETTINGS_BACKEND=memory LANG=C.UTF-8
    unset DBUS_SESSION_BUS_ADDRESS AT_SPI_BUS_ADDRESS

    # A session bus of its own; the accessibility bus is started from it on demand, as on a
    # desktop. The bus lives as long as the command it runs, a bounded sleep ended at clean-up.
    session_spawn "$work/bus.out" "${marked[@]}" dbus-run-session -- bash -c 'echo $$ >"$1.pid" &&
        echo "$DBUS_SESSION_BUS_ADDRESS" >"$1.new" && mv "$1.new" "$1" && exec sleep 300' bus "$work/bus"
    bus_session=$spawned
    within 10 test -s "$work/bus" || session_fail "no session bus within 10 s: $(tail -n 3 "$work/bus.out")"
    read -r bus <"$work/bus"
    read -r bus_keeper <"$work/bus.pid"
    export DBUS_SESSION_BUS_ADDRESS="$bus"
}

orca_start() {
    session_spawn "$work/orca.out" "${marked[@]}" ORCA_LISTENS_LOG="$debug" PYTHONPATH="$work/python${PYTHONPATH:+:$PYTHONPATH}" \
        PATH="$work/bin:$PATH" orca --debug-file="$debug" -d braille
    orca=$spawned
    step "$window" "Orca starts" 30 said 0 '^Screen reader on'
    quiet
    root=$(xwininfo -root | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p')
}

# Orca 43 calls a button a "push button", Orca 48 a "button".
button='(push )?button'
# Orca follows the active window only: bring the window to the front as a window manager
# would. Should Orca not have taken in the program yet, the focus goes away and back.
root=""
to_front() {
    local failure=$1 attempt
    for attempt in 1 2 3; do
        since=$(log_lines)
        xdotool windowfocus "$window"
        within 5 said "$window" "$since" "Начать тест $button" && break
        [ "$attempt" -lt 3 ] || session_fail "$failure"
        xdotool windowfocus "$root"
        sleep 0.5
    done
    quiet
    record "the window comes to the front ((window to the front))" "$since"
}
