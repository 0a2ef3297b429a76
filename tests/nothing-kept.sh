#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A whole session with the program keeps nothing on disk, sends nothing anywhere and leaves
# nothing running. The real program runs under strace on a private X screen, with an empty
# home of its own, while xdotool plays a short session; afterwards the trace must show no
# network socket, no file opened for writing, created, renamed or removed, no helper program
# started, no process of the session may still run, and the home must still be empty. It is
# played three times, as the program is started in a classroom:
#   desktop        a desktop session, with its session bus and runtime folder
#   no-bus         no session bus address (ssh -X, a bare X session): none may be started
#   no-runtime     no runtime folder either (sudo): none may be left in the temporary folder
#   nothing-kept.sh PROGRAM [TRACE-COPY]
# TRACE-COPY, if given, receives the system-call traces, one after another, for anyone who
# wants to read them.
set -euo pipefail

# The whole session's time, kept below the test's limit in tests/CMakeLists.txt (240 s), so
# that a session too slow for it still says which step it stood at.
session_seconds=200
. "$(dirname "$0")/session.sh"
session_name=nothing-kept

say() { session_say "$@"; }
# The program's last lines of output, to go with a failure.
last_words() { [ -s "$case_dir/program.out" ] && printf ':\n%s' "$(tail -n "$1" "$case_dir/program.out")"; }
fail() { session_fail "$@"; }

[ $# -ge 1 ] || fail "usage: nothing-kept.sh PROGRAM [TRACE-COPY]"
program=$(readlink -f "$1")
trace_copy=${2:-}
[ -x "$program" ] || fail "$1 is not an executable program"
session_require strace Xvfb xdotool xwd imagemagick dbus-run-session

work=$(mktemp -d "${TMPDIR:-/tmp}/nothing-kept.XXXXXX")
traced=""
bus_session=""
case_dir=""
session_begin nothing-kept "$session_seconds" "$work"

# Every process a case starts carries a mark in its environment, handed on to whatever it
# starts in turn, a bus's helpers included; the clean-up finds them by it, and nothing else
# on the machine.
marked() {
    local environ
    for environ in $(grep -lzxF "NOTHING_KEPT_SESSION=$work" /proc/[0-9]*/environ 2>/dev/null); do
        environ=${environ#/proc/}
        echo "${environ%/environ}"
    done
}

# Ends what a case started: the processes strace still traces (by id), strace, the bus, and
# anything else that carries the mark.
end_case() {
    local status pid
    if [ -n "$traced" ] && kill -0 "$traced" 2>/dev/null; then
        for status in $(grep -l "^TracerPid:[[:space:]]*$traced\$" /proc/[0-9]*/status 2>/dev/null); do
            status=${status#/proc/}
            kill -KILL "${status%/status}" 2>/dev/null
        done
        kill "$traced" 2>/dev/null
        wait "$traced" 2>/dev/null
    fi
    traced=""
    [ -z "$bus_session" ] || session_stop "$bus_session"
    bus_session=""
    for pid in $(marked); do
        kill -KILL "$pid" 2>/dev/null
    done
}

cleanup() {
    set +e
    end_case
    session_end
    rm -rf "$work"
}
trap cleanup EXIT

# Started over SSH or from a console, with no screen at all, the program says so and ends.
bash "$(dirname "$0")/no-display.sh" "$program" || fail "started with no screen: see above"

start_private_x

# What the trace must show: every way to make, change or remove a file by name, every
# socket with its family and every connection with its address, every program started,
# and io_uring, which could do any of that unseen. Reads and writes on descriptors
# already open stay out of it, which keeps the trace to a few hundred lines; a
# descriptor can only be written to once something opened it for writing, and that
# opening is in the trace. A "?" skips a call this processor does not have.
syscalls='?open,openat,?openat2,?creat,?mkdir,mkdirat,?rmdir,?rename,renameat,?renameat2'
syscalls+=',?link,linkat,?symlink,symlinkat,?unlink,unlinkat,truncate,?mknod,mknodat'
syscalls+=',?chmod,fchmodat,?chown,?lchown,fchownat,?utime,?utimes,?futimesat,utimensat'
syscalls+=',setxattr,lsetxattr,removexattr,lremovexattr'
syscalls+=',execve,execveat,socket,connect,bind,listen,?io_uring_setup'

# The session, as a pupil plays it by mouse. Children double-click buttons: a double-click
# on «Начать тест» or «Следующий вопрос» is one press, and a click after it is one more.
play() {
    # The window by its title, from the build the program was made in; an installed program
    # has no build beside it, and its window is the one window on the private screen.
    session_product "$program" || name='.+'
    find_window window "$name"
    # Each step waits for the window to show its answer to the one before, however busy
    # the machine: a click sent before the window has drawn the last one's result would
    # meet a window in another state than the script believes.
    step "$window" "the launch screen" 60 launch_screen
    double_click "$window" start_button
    step "$window" "a double-click on «Начать тест»: question 1" 60 shows next_face
    # The notice is modal: with one open, the answer is not chosen.
    click "$window" answer_row_1
    step "$window" "choosing the top answer" 60 chosen_or_notice
    notice_closed || fail "$case: the second click of a double-click on «Начать тест» pressed «Следующий вопрос», which had appeared under it: «Нажмите кнопку ПРОВЕРИТЬ» over question 1"
    click "$window" check_button
    step "$window" "Check: «Ответ принят»" 60 accepted
    double_click "$window" next_button
    step "$window" "a double-click on «Следующий вопрос»: question 2, no verdict yet" 60 not_accepted
    click "$window" answer_row_2
    step "$window" "choosing an answer to question 2" 60 chosen_or_notice
    notice_closed || fail "$case: the second click of a double-click on «Следующий вопрос» pressed it again: «Нажмите кнопку ПРОВЕРИТЬ» over question 2"
    click "$window" next_button
    step "$window" "a later click on «Следующий вопрос» before Check: the notice" 60 notice_focused
    # The key goes to the focused notice as a keyboard's would, press and release.
    press Return
    step "$window" "the notice closing on Enter" 60 notice_closed
    click "$window" check_button
    step "$window" "Check of question 2: «Ответ принят»" 60 accepted
    # Question 2 is answered and checked, so Exit ends the program at once.
    click "$window" exit_button
    step "$window" "Exit: the program ends" 60 ended "$program_pid"
}

# fontconfig keeps an index of the installed fonts. Where the system's index is out of date
# (a font copied in by hand, fc-cache not run) it writes a fresh one: into
# /var/cache/fontconfig when run as root, otherwise into ~/.cache/fontconfig, under names
# like 4c599c...-le64.cache-8 and CACHEDIR.TAG, by way of .TMP-*, .LCK and .NEW files. That
# is the font library's cache, the same for every program that shows text, and holds nothing
# of a session; it is allowed, and reported. An up-to-date system writes none of it.
font_names='^([0-9a-f]+-[a-z0-9_]+[.]cache-[0-9]+|CACHEDIR[.]TAG)'

# The private directories must be as empty as they began, but for fontconfig's index.
font_cache_left() {
    case $1 in
    "$cache_home" | "$cache_home/fontconfig" | "$case_dir/home/.fontconfig") return 0 ;;
    "$cache_home/fontconfig/"* | "$case_dir/home/.fontconfig/"*) [[ ${1##*/} =~ $font_names$ ]] ;;
    *) return 1 ;;
    esac
}

failures=""
# One case: its own folders, bus and trace; what it broke is added to failures.
run_case() {
    case=$1
    case_dir="$work/$case"
    local trace="$case_dir/trace" bus="" runtime="" bus_socket="" started seconds status leftovers
    mkdir -m 700 "$case_dir" "$case_dir/home" "$case_dir/tmp" "$case_dir/cwd"
    # Everything the program could call its own place to write to, each empty and private.
    local environment=(PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb
        HOME="$case_dir/home" XDG_CONFIG_HOME="$case_dir/home/.config" XDG_CACHE_HOME="$case_dir/home/.cache"
        XDG_DATA_HOME="$case_dir/home/.local/share" XDG_STATE_HOME="$case_dir/home/.local/state"
        TMPDIR="$case_dir/tmp" NOTHING_KEPT_SESSION="$work")
    if [ "$case" != no-runtime ]; then
        # The runtime folder exists already, as a login session's would.
        runtime="$case_dir/runtime"
        mkdir -m 700 "$runtime"
        environment+=(XDG_RUNTIME_DIR="$runtime")
    fi
    if [ "$case" = desktop ]; then
        # The desktop's session bus, of its own; it lives as long as the command it runs, a
        # bounded sleep ended at the end of the case.
        env -i "${environment[@]}" dbus-run-session -- bash -c 'echo "$DBUS_SESSION_BUS_ADDRESS" >"$1.new" &&
            mv "$1.new" "$1" && exec sleep 300' bus "$case_dir/bus" >"$case_dir/bus.out" 2>&1 &
        bus_session=$!
        step "" "the session bus of the desktop" 30 bus_ready "$case_dir/bus"
        read -r bus <"$case_dir/bus"
        environment+=(DBUS_SESSION_BUS_ADDRESS="$bus")
        bus_socket=$(sed -n 's/^unix:\(path\|abstract\)=\([^,]*\).*/\2/p' <<<"$bus")
    fi
    # A sanitizer build keeps its settings; its leak check stops the world with ptrace,
    # which strace already holds, so that one is off here.
    environment+=("ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0")
    [ -z "${UBSAN_OPTIONS:-}" ] || environment+=("UBSAN_OPTIONS=$UBSAN_OPTIONS")

    say "case $case"
    # What the desktop's bus put there itself is the desktop's.
    local before
    before=$(find "$case_dir/home" "$case_dir/tmp" "$case_dir/cwd" ${runtime:+"$runtime"} -mindepth 1 2>/dev/null)
    started=$(date +%s%N)
    (
        cd "$case_dir/cwd"
        exec env -i "${environment[@]}" \
            strace -f -qq --seccomp-bpf -y -s 1024 -e signal=none -e trace="$syscalls" -o "$trace" -- "$program"
    ) >"$case_dir/program.out" 2>&1 &
    traced=$!
    step "" "the program under strace" 30 started_under "$traced"
    program_pid=$(program_under "$traced")
    play
    seconds=$((($(date +%s%N) - started) / 1000000))
    # Whatever the session started and left running: a bus of its own, say, which would
    # outlive the lesson. The desktop's own bus is not the program's.
    leftovers=$(for pid in $(marked); do
        [ "$pid" != "$traced" ] && [ "$pid" != "$bus_session" ] && [ "$(ps -o ppid= -p "$pid" | tr -d ' ')" != "$bus_session" ] &&
            printf 'VIOLATION left running: %s\n' "$(ps -o args= -p "$pid")"
    done || true)
    # strace ends with the program's status once nothing it traces is left.
    for status in $(grep -l "^TracerPid:[[:space:]]*$traced\$" /proc/[0-9]*/status 2>/dev/null); do
        status=${status#/proc/}
        kill -KILL "${status%/status}" 2>/dev/null || true
    done
    step "" "strace ending" 30 ended "$traced"
    status=0
    wait "$traced" || status=$?
    traced=""
    end_case
    [ -s "$trace" ] || fail "$case: strace wrote no trace$(last_words 3)"
    [ "$status" -eq 0 ] || fail "$case: the program ended with status $status$(last_words 5)"
    grep -q ' execve(' "$trace" || fail "$case: strace traced nothing$(last_words 3)"
    [ -z "$trace_copy" ] || { echo "=== $case"; cat "$trace"; } >>"$trace_copy"
    cache_home="$case_dir/home/.cache"

    findings=$(awk -v cwd="$case_dir/cwd" -v home="$case_dir/home" -v cache_home="$cache_home" -v runtime="$runtime" \
        -v tmp="$case_dir/tmp" -v bus="$bus_socket" -v display="$session_display" -v font_names="$font_names" \
        -f "$(dirname "$0")/judge-trace.awk" "$trace")

    local left
    left=$(find "$case_dir/home" "$case_dir/tmp" "$case_dir/cwd" ${runtime:+"$runtime"} -mindepth 1 2>/dev/null |
        while read -r path; do
            grep -qxF -- "$path" <<<"$before" || font_cache_left "$path" ||
                printf 'VIOLATION left behind: %s\n' "${path#"$case_dir/"}"
        done)
    say "$case: ended with status 0 after $seconds ms; $(wc -l <"$trace") traced calls"
    grep '^INFO ' <<<"$findings" | sed 's/^INFO /  /' | sort
    local violations
    violations=$(printf '%s\n%s\n%s\n' "$(grep -v '^INFO ' <<<"$findings" || true)" "$left" "$leftovers" | sed '/^$/d')
    if [ -n "$violations" ]; then
        sed 's/^VIOLATION /  /' <<<"$violations" >&2
        failures+="$case: $(grep -c '^VIOLATION' <<<"$violations") finding(s); "
    fi
}

# Conditions for the steps that wait on something other than the window.
bus_ready() { [ -s "$2" ]; }
# The program strace started. strace has a child of its own first, which tries out the
# seccomp filter and is gone at once: a child that is not yet the program is not it.
program_under() {
    local pid
    for pid in $(ps -o pid= --ppid "$1"); do
        [ "$(readlink "/proc/$pid/exe" 2>/dev/null)" != "$program" ] || { echo "$pid"; return 0; }
    done
    return 1
}
started_under() { program_under "$2" >/dev/null; }
chosen_or_notice() { notice_open || chosen "$1"; }

for case in desktop no-bus no-runtime; do
    run_case "$case"
done

say "session: a double-click on Start, answer, Check, a double-click on Next, answer, Next before Check (notice closed with Enter), Check, Exit"
[ -z "$failures" ] || fail "the program kept, sent or left something: ${failures%; }"
say "PASS: no network socket, nothing written, created, renamed or removed, no helper started, nothing left running, with a session bus, without one and without a runtime folder"
