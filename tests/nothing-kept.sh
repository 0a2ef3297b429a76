#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A whole session with the program keeps nothing on disk and sends nothing anywhere. The real
# program runs under strace on a private X screen, with an empty home of its own, while
# xdotool plays a short session; afterwards the trace must show no network socket, no file
# opened for writing, created, renamed or removed, no helper program started, and the home
# must still be empty.
#   nothing-kept.sh PROGRAM [TRACE-COPY]
# TRACE-COPY, if given, receives the system-call trace for anyone who wants to read it.
set -euo pipefail

# The whole session's time, kept below the test's limit in tests/CMakeLists.txt (240 s), so
# that a session too slow for it still says which step it stood at.
session_seconds=200
. "$(dirname "$0")/session.sh"
session_name=nothing-kept

say() { session_say "$@"; }
# The program's last lines of output, to go with a failure.
last_words() { [ -s "$work/program.out" ] && printf ':\n%s' "$(tail -n "$1" "$work/program.out")"; }
fail() { session_fail "$@"; }

[ $# -ge 1 ] || fail "usage: nothing-kept.sh PROGRAM [TRACE-COPY]"
program=$(readlink -f "$1")
trace_copy=${2:-}
[ -x "$program" ] || fail "$1 is not an executable program"
session_require strace Xvfb xdotool xwd imagemagick

work=$(mktemp -d "${TMPDIR:-/tmp}/nothing-kept.XXXXXX")
trace="$work/trace"
traced=""
session_begin nothing-kept "$session_seconds" "$work"

cleanup() {
    set +e
    # A session that hung, or left a helper running, must not outlive the test: end the
    # processes strace still traces (those only, by id), then strace, then the X screen.
    if [ -n "$traced" ] && kill -0 "$traced" 2>/dev/null; then
        local status
        for status in $(grep -l "^TracerPid:[[:space:]]*$traced\$" /proc/[0-9]*/status 2>/dev/null); do
            status=${status#/proc/}
            kill -KILL "${status%/status}" 2>/dev/null
        done
        kill "$traced" 2>/dev/null
        wait "$traced" 2>/dev/null
    fi
    session_end
    [ -z "$trace_copy" ] || cp "$trace" "$trace_copy" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# Everything the program could call its own place to write to, each empty and private.
# The runtime directory exists already, as a login session's would: given none, the toolkit
# would make one under /tmp itself.
mkdir -m 700 "$work/home" "$work/runtime" "$work/tmp" "$work/cwd"

# Started over SSH or from a console, with no screen at all, the program says so and ends.
no_display_refused "$program"

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

# With no session bus address at all, the D-Bus library would start a bus of its own
# wherever dbus-launch is installed, and that writes ~/.dbus/session-bus/ and leaves a
# daemon running. A classroom desktop always has its bus; here an address where nothing
# listens stands for "no bus", the same on every machine.
no_bus="$work/runtime/no-session-bus"
# A sanitizer build keeps its settings; its leak check stops the world with ptrace, which
# strace already holds, so that one is off here.
sanitizers=("ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0")
[ -z "${UBSAN_OPTIONS:-}" ] || sanitizers+=("UBSAN_OPTIONS=$UBSAN_OPTIONS")
started=$(date +%s%N)
(
    cd "$work/cwd"
    exec env -i PATH=/usr/local/bin:/usr/bin:/bin LANG=C.UTF-8 DISPLAY="$DISPLAY" QT_QPA_PLATFORM=xcb \
        HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_CACHE_HOME="$work/home/.cache" \
        XDG_DATA_HOME="$work/home/.local/share" XDG_STATE_HOME="$work/home/.local/state" \
        XDG_RUNTIME_DIR="$work/runtime" TMPDIR="$work/tmp" DBUS_SESSION_BUS_ADDRESS="unix:path=$no_bus" \
        "${sanitizers[@]}" \
        strace -f -qq --seccomp-bpf -y -s 1024 -e signal=none -e trace="$syscalls" -o "$trace" -- "$program"
) >"$work/program.out" 2>&1 &
traced=$!

find_window window Знайдар

# Each step waits for the window to show its answer to the one before, however busy the
# machine: a click sent before the window has drawn the last one's result would meet a
# window in another state than the script believes.
step "$window" "the launch screen" 60 launch_screen
click "$window" start_button
step "$window" "Start: question 1" 60 shows next_face 80ff80
click "$window" answer_row_1
step "$window" "choosing the top answer" 60 chosen
click "$window" check_button
step "$window" "Check: «Ответ принят»" 60 accepted
click "$window" next_button
step "$window" "Next: question 2, no verdict yet" 60 not_accepted
click "$window" check_button
step "$window" "Check with no answer chosen: the notice" 60 notice_focused
# The key goes to the focused notice as a keyboard's would, press and release.
press Return
step "$window" "the notice closing on Enter" 60 notice_closed
click "$window" answer_row_1
step "$window" "choosing an answer to question 2" 60 chosen
click "$window" check_button
step "$window" "Check of question 2: «Ответ принят»" 60 accepted
# Question 2 is answered and checked, so Exit ends the program at once.
click "$window" exit_button
step "$window" "Exit: the program ends" 60 ended "$traced"
status=0
wait "$traced" || status=$?
traced=""
seconds=$((($(date +%s%N) - started) / 1000000))
[ "$status" -eq 0 ] || fail "the program ended with status $status$(last_words 5)"
say "judging the trace"
grep -q ' execve(' "$trace" || fail "strace traced nothing$(last_words 3)"

# fontconfig keeps an index of the installed fonts. Where the system's index is out of date
# (a font copied in by hand, fc-cache not run) it writes a fresh one: into
# /var/cache/fontconfig when run as root, otherwise into ~/.cache/fontconfig, under names
# like 4c599c...-le64.cache-8 and CACHEDIR.TAG, by way of .TMP-*, .LCK and .NEW files. That
# is the font library's cache, the same for every program that shows text, and holds nothing
# of a session; it is allowed, and reported. An up-to-date system writes none of it.
font_names='^([0-9a-f]+-[a-z0-9_]+[.]cache-[0-9]+|CACHEDIR[.]TAG)'
cache_home="$work/home/.cache"

# Judging the trace. Attempts count, failed or not: an attempt to write ~/.config/... that
# fails here only because the fresh home has no ~/.config would succeed in a real home.
findings=$(awk -v cwd="$work/cwd" -v home="$work/home" -v cache_home="$cache_home" -v runtime="$work/runtime" \
    -v no_bus="$no_bus" -v display="$session_display" -v font_names="$font_names" '
function bad(what) { printf "VIOLATION %s\n    %s\n", what, substr(line, 1, 300) }
# The full path of a name that the text "before" it leads up to: strace -y shows the
# directory an *at call starts from as "AT_FDCWD</dir>" or "5</dir>".
function resolve(p, before,    dir) {
    if (p ~ /^\//) return p
    dir = cwd
    if (match(before, /<[^<>]*>[^<>]*$/)) { dir = substr(before, RSTART + 1); sub(/>.*/, "", dir) }
    return dir "/" p
}
function font_cache_dir(p) {
    return p == "/var/cache/fontconfig" || p == cache_home || p == cache_home "/fontconfig" || p == home "/.fontconfig"
}
function font_cache_file(p,    dir, base) {
    dir = p; sub(/\/+[^\/]*$/, "", dir)
    base = p; sub(/.*\//, "", base)
    return font_cache_dir(dir) && dir != cache_home && base ~ (font_names "([.](NEW|LCK)|[.]TMP-[A-Za-z0-9]+)?$")
}
{
    line = $0; pid = $1
    # Calls interrupted by another thread come in two parts; put them together again.
    if (line ~ / <unfinished \.\.\.>$/) { sub(/ <unfinished \.\.\.>$/, "", line); pending[pid] = line; next }
    if (line ~ /^[0-9]+ <\.\.\. [a-z0-9_]+ resumed>/) {
        rest = line; sub(/^[0-9]+ <\.\.\. [a-z0-9_]+ resumed>/, "", rest)
        line = pending[pid] rest; delete pending[pid]
    }
    call = line; sub(/^[0-9]+ +/, "", call)
    name = call; sub(/\(.*/, "", name)
    result = call; if (!sub(/.* = /, "", result)) result = "?"
    failed = result ~ /^-1 /
    # The names a call works on: link and rename have two.
    path = ""; other = ""; after = call
    if (match(call, /"([^"\\]|\\.)*"/)) {
        path = resolve(substr(call, RSTART + 1, RLENGTH - 2), substr(call, 1, RSTART - 1))
        after = substr(call, RSTART + RLENGTH)
        if (match(after, /"([^"\\]|\\.)*"/))
            other = resolve(substr(after, RSTART + 1, RLENGTH - 2), substr(after, 1, RSTART - 1))
    }
    sub(/\) = .*$/, "", after)

    if (name == "execve" || name == "execveat") {
        # The first is strace starting the program, and the program may replace itself;
        # any other process starting a program is a helper the session did not ask for.
        if (main == "") main = pid
        else if (pid != main && !failed) bad("started another program: " path)
        else if (pid != main) absent[path]++
        next
    }
    if (name == "open" || name == "openat" || name == "openat2" || name == "creat") {
        if (name != "creat" && after !~ /O_WRONLY|O_RDWR|O_CREAT|O_TRUNC|O_APPEND|O_TMPFILE/) { reads++; next }
        # /dev/shm and /dev/mqueue hold files in memory that outlive the program unless
        # removed; every other /dev path is a device (/dev/null, a terminal, the graphics
        # card), where writing keeps nothing. Writing anywhere in /proc or /sys is not
        # expected either, so it is not excused.
        if (font_cache_file(path)) font_cache++
        else if (path ~ /^\/dev\/(shm|mqueue)\//) shared[path] = line
        else if (path ~ /^\/dev\//) devices[path]++
        else bad("opened for writing: " path)
        next
    }
    if (name ~ /^(link|linkat|rename|renameat|renameat2|unlink|unlinkat)$/ && font_cache_file(path) && (other == "" || font_cache_file(other))) { font_cache++; next }
    if (name ~ /^(mkdir|mkdirat|chmod|fchmodat)$/ && font_cache_dir(path)) { font_cache++; next }
    if ((name == "unlink" || name == "unlinkat") && (path in shared) && !failed) { delete shared[path]; transient++; next }
    if ((name == "mkdir" || name == "mkdirat") && path == runtime && result ~ /EEXIST/) {
        # The toolkit makes sure its runtime directory exists; it does, so nothing is made.
        runtime_checked++
        next
    }
    if (name == "socket") {
        family = call; sub(/^socket\(/, "", family); sub(/,.*/, "", family)
        if (family != "AF_UNIX") bad("opened a network socket (" family ")")
        next
    }
    if (name == "connect") {
        family = call; sub(/.*sa_family=/, "", family); sub(/[,}].*/, "", family)
        peer = ""
        if (match(call, /sun_path=@?"[^"]*"/)) { peer = substr(call, RSTART + 9, RLENGTH - 9); gsub(/"/, "", peer) }
        # Besides the X server, a local socket is a service that might keep or pass on what
        # it hears: the system log, or nscd and resolved, which look names up on the
        # network for the caller so that no network socket of its own ever shows.
        if (family != "AF_UNIX") bad("connected over the network (" family ")")
        else if (peer ~ ("^@?/tmp/[.]X11-unix/X" display "$")) xserver[peer]++
        else if (peer == no_bus) bus_tried++
        else bad("connected to a local service: " peer)
        next
    }
    if (name == "bind" || name == "listen") { bad("offered a socket for others to connect to (" name ")"); next }
    if (name == "io_uring_setup") { bad("set up io_uring, which could read and write unseen by this trace"); next }
    bad("changed the file system (" name "): " path)
}
END {
    for (path in shared) { line = shared[path]; bad("left a shared-memory file behind: " path) }
    printf "INFO %d files opened, all read-only\n", reads
    for (peer in xserver) printf "INFO AF_UNIX connection to the X server at %s (%d)\n", peer, xserver[peer]
    if (bus_tried) printf "INFO looked for a session bus at an address where none listens (%d), and went on without one\n", bus_tried
    for (path in devices) printf "INFO device opened for writing: %s (%d)\n", path, devices[path]
    if (transient) printf "INFO shared-memory files made and removed again: %d\n", transient
    if (runtime_checked) printf "INFO mkdir of the existing runtime directory, refused with EEXIST (%d)\n", runtime_checked
    for (path in absent) printf "INFO tried to start %s, which is not installed (%d)\n", path, absent[path]
    if (font_cache) printf "INFO fontconfig wrote its font index or made its folders (%d calls): the index was out of date; fc-cache, run as root, brings it up to date\n", font_cache
}' "$trace")

# The private directories must be as empty as they began, but for fontconfig's index.
font_cache_left() {
    case $1 in
    "$cache_home" | "$cache_home/fontconfig" | "$work/home/.fontconfig") return 0 ;;
    "$cache_home/fontconfig/"* | "$work/home/.fontconfig/"*) [[ ${1##*/} =~ $font_names$ ]] ;;
    *) return 1 ;;
    esac
}
left=$(find "$work/home" "$work/runtime" "$work/tmp" "$work/cwd" -mindepth 1 2>/dev/null | while read -r path; do
    font_cache_left "$path" || printf 'VIOLATION left behind: %s\n' "${path#"$work/"}"
done)

say "session: Start, answer, Check, Next, Check with no answer (notice closed with Enter), answer, Check, Exit"
say "ended with status 0 after $seconds ms; $(wc -l <"$trace") traced calls"
grep '^INFO ' <<<"$findings" | sed 's/^INFO /  /' | sort
violations=$(printf '%s\n%s\n' "$(grep -v '^INFO ' <<<"$findings" || true)" "$left" | sed '/^$/d')
if [ -n "$violations" ]; then
    sed 's/^VIOLATION /  /' <<<"$violations" >&2
    fail "the program kept or sent something: $(grep -c '^VIOLATION' <<<"$violations") finding(s) above"
fi
kept="home still empty"
[ -z "$(find "$work/home" -mindepth 1 2>/dev/null)" ] || kept="home holds only fontconfig's font index"
say "PASS: no network socket, nothing written, created, renamed or removed, no helper started; $kept"
