#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A blind pupil's whole test, heard through the real Orca screen reader. The program and
# Orca run on a private X screen with their own session bus and accessibility bus; xdotool
# presses the keys a pupil would press (no mouse at all) and every step is judged on what
# Orca said, read from its debug log, where each utterance is a line "SPEECH OUTPUT: '...'".
#   orca-listens.sh PROGRAM
# The session: Start, choose, Check, Next, Check with nothing chosen and Next before Check
# (both refused), back to the answers with Shift+Tab, then every question to the tenth, and
# Exit twice. No key of the keypad: Orca's desktop layout keeps them for itself (its Enter
# is "where am I"), so they never reach the program. Then, where the program runs
# on Qt 6.8 or newer, the program started again as sudo leaves it, with no session bus:
# heard at the front, Tab, Tab, and Exit.
set -euo pipefail

# The whole session's time, below the test's limit in tests/CMakeLists.txt (240 s): a session
# too slow for it still says which key it stood at.
session_seconds=200
. "$(dirname "$0")/session.sh"
session_name=orca-listens
usage() {
    session_say "$*" >&2
    exit 2
}
[ $# -eq 1 ] || usage "usage: orca-listens.sh PROGRAM"
program=$(readlink -f "$1")
[ -x "$program" ] || usage "$1 is not an executable program"
session_require Xvfb xdotool xwininfo dbus-run-session orca
# The window by its title, from the build the program was made in; an installed program has
# no build beside it, and its window is the one window on the private screen.
session_product "$program" || name='.+'

work=$(mktemp -d "${TMPDIR:-/tmp}/orca-listens.XXXXXX")
debug="$work/orca.debug"
transcript="$work/transcript"
bus_keeper=""

# Every process this session starts carries a mark in its environment, handed on to the
# helpers the buses start on demand; the clean-up below finds them by it, and nothing else
# on the machine. The script's own commands go unmarked.
ours() {
    local environ
    for environ in $(grep -lzxF "ORCA_LISTENS_SESSION=$work" /proc/[0-9]*/environ 2>/dev/null); do
        environ=${environ#/proc/}
        echo "${environ%/environ}"
    done
}
marked=(env "ORCA_LISTENS_SESSION=$work")

cleanup() {
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
trap cleanup EXIT

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
session_describe() { echo "Orca said «$(heard_after "${pending##* }" | tr '\n' ' ')»"; }
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

session_begin orca-listens "$session_seconds" "$work"
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

started=$(date +%s%N)
# Qt speaks to the accessibility bus when a screen reader asks for it; on a bare bus
# nothing asks, so the bridge is switched on from the start. In a sanitizer build, full
# stacks let the leak suppressions tell the bridge's own allocations inside Qt from ours.
session_spawn "$work/program.out" "${marked[@]}" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0" \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$program"
app=$spawned
find_window window "$name"

session_spawn "$work/orca.out" "${marked[@]}" ORCA_LISTENS_LOG="$debug" PYTHONPATH="$work/python${PYTHONPATH:+:$PYTHONPATH}" \
    PATH="$work/bin:$PATH" orca --debug-file="$debug" -d braille
orca=$spawned
step "$window" "Orca starts" 30 said 0 '^Screen reader on'
quiet

# Orca follows the active window only: bring the window to the front as a window manager
# would. Should Orca not have taken in the program yet, the focus goes away and back.
# Orca 43 calls a button a "push button", Orca 48 a "button".
button='(push )?button'
root=$(xwininfo -root | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p')
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
to_front "Orca did not present the window when it came to the front"

# The words a pupil must hear. A question is its number and its whole text, as the bank
# holds it (each entry's string literals up to its answers).
bank_source="$(dirname "$0")/../content/QuestionBank.cpp"
[ -r "$bank_source" ] || session_fail "the question bank is not at $bank_source"
bank=$(awk '
/^    \{"/ { collecting = 1; text = "" }
collecting && /^     \{"/ { print text; collecting = 0; next }
collecting {
    line = $0
    while (match(line, /"[^"]*"/)) { text = text substr(line, RSTART + 1, RLENGTH - 2); line = substr(line, RSTART + RLENGTH) }
}' "$bank_source")
[ "$(wc -l <<<"$bank")" -eq 10 ] || session_fail "could not read the ten questions from content/QuestionBank.cpp"
question() { printf '^Вопрос %s из 10[.] ' "$1"; }
heard_questions=""
# The question heard in this step is question $1, whole.
whole_question() {
    local line text
    line=$(grep -E "$(question "$1")" <<<"$said" | head -n 1)
    text=${line#Вопрос "$1" из 10. }
    # Orca ends an utterance with a full stop where the text has none.
    grep -qxF -- "$text" <<<"$bank" || text=${text%.}
    grep -qxF -- "$text" <<<"$bank" || fail "question $1 was not heard whole: «$text»"
    [ "$(grep -cF -- "$text" <<<"$said")" -eq 1 ] || fail "question $1 was heard more than once"
    heard_questions+="$text"$'\n'
}
radio='radio button'
accepted='Ответ принят'
count='Ошибок: [0-9]+'

key space "Start" "$radio"
expect "$(question 1)" "after Start the number and the whole text of question 1 are not heard"
whole_question 1
key space "choose the focused answer" 'selected'
key Tab "on to Check" "Проверить $button"
key space "Check" "$accepted"
expect "$count" "after an accepted Check the number of mistakes is not heard"
expect "Следующий вопрос $button" "after an accepted Check the focus is not on «Следующий вопрос»"
key space "Next" "$radio"
expect "$(question 2)" "after Next the number and the whole text of question 2 are not heard"
whole_question 2
key Tab "on to Check, nothing chosen" "Проверить $button"
key space "Check with nothing chosen" 'Выберите ответ'
refuse "$accepted" "a refused Check was heard as accepted"
key Return "close the notice" "Проверить $button"
key Tab "on to Exit" "Выход $button"
key Tab "on to Next" "Следующий вопрос $button"
expect 'Перейти к следующему вопросу' "«Следующий вопрос» is not heard with its meaning"
refuse "$accepted" "«Следующий вопрос» still carries the verdict on the last question"
key space "Next before Check" 'Нажмите кнопку ПРОВЕРИТЬ'
key Return "close the notice" "Следующий вопрос $button"
key shift+Tab "back to Exit" "Выход $button"
key shift+Tab "back to Check" "Проверить $button"
key shift+Tab "back to the answers" "$radio"
expect "$(question 2)" "coming back to the answers, the question is not heard again"
key space "choose" 'selected'
key Tab "on to Check" "Проверить $button"
key space "Check" "$accepted"
expect "$count" "after an accepted Check the number of mistakes is not heard"
for number in 3 4 5 6 7 8 9 10; do
    key space "Next" "$radio"
    expect "$(question "$number")" "question $number is not heard with its number and text"
    whole_question "$number"
    key space "choose" 'selected'
    key Tab "on to Check" "Проверить $button"
    key space "Check" "$accepted"
    expect "$count" "after an accepted Check the number of mistakes is not heard"
done
expect "Выход $button" "after the tenth answer the focus is not on «Выход»"
expect 'оконч' "after the tenth answer the pupil is not told that the test is over"
key space "Exit" 'Покажите результат учителю'
key Return "close the notice" "Выход $button"
keys=$((keys + 1))
press space
printf 'Exit again (space):\n    (the program ends)\n' >>"$transcript"
step "$window" "Exit again (space): the program ends" 10 ended "$app"
status=0
wait "$app" || status=$?
app=""
[ "$status" -eq 0 ] || session_fail "the program ended with status $status"
seconds=$((($(date +%s%N) - started) / 1000000))

# Across the whole session: every answer without a generic word after it, and nothing said
# twice in a row.
all=$(heard_after 0)
! grep -q 'Вариант ответа' <<<"$all" || session_fail "the answers are followed by a generic «Вариант ответа»"
[ "$(sort -u <<<"${heard_questions%$'\n'}" | wc -l)" -eq 10 ] || session_fail "the ten questions were not ten different ones"
twice=$(uniq -d <<<"$all" | head -n 3)
[ -z "$twice" ] || session_fail "heard twice in a row: $twice"

# Started as sudo leaves it: no session bus, no runtime folder, a home of its own, only the X
# display kept. The program takes the screen reader's bus that the desktop publishes on the X
# screen, and Orca hears it. Qt before 6.8 connects to a bus handed over that way but never
# switches its bridge on, so there is nothing to hear: the phase says so and is skipped.
qt=$(ldd "$program" 2>/dev/null | sed -n 's/^[[:space:]]*libQt6Gui\.so\.6 => \([^ ]*\).*/\1/p' | head -n 1)
qt=$( [ -z "$qt" ] || readlink -f "$qt" | sed -n 's/.*\.so\.\(6\.[0-9]*\.[0-9]*\)$/\1/p')
through_sudo="started as sudo leaves it (no session bus)"
if [ -z "$qt" ]; then
    skipped="skipped, $through_sudo: the version of the Qt it runs on cannot be told"
elif [ "$(printf '6.8\n%s\n' "$qt" | sort -V | head -n 1)" != 6.8 ]; then
    skipped="skipped, $through_sudo: on Qt $qt the screen-reader bridge never switches on without a session bus (Qt 6.8 or newer is heard)"
else
    skipped=""
    mkdir -m 700 "$work/sudo-home"
    sudo_env=("ORCA_LISTENS_SESSION=$work" PATH=/usr/bin:/bin "DISPLAY=$DISPLAY" LANG=C.UTF-8 "HOME=$work/sudo-home"
        QT_QPA_PLATFORM=xcb "ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0")
    for sanitizer in LSAN_OPTIONS UBSAN_OPTIONS; do
        [ -z "${!sanitizer:-}" ] || sudo_env+=("$sanitizer=${!sanitizer}")
    done
    session_spawn "$work/program.out" env -i "${sudo_env[@]}" "$program"
    app=$spawned
    find_window window "$name"
    to_front "$through_sudo, the window came to the front and Orca said nothing of it: a blind pupil whose program was started through sudo hears nothing"
    key Tab "$through_sudo: on to Check" "Проверить $button"
    key Tab "$through_sudo: on to Exit" "Выход $button"
    keys=$((keys + 1))
    press space
    printf '%s: Exit (space):\n    (the program ends)\n' "$through_sudo" >>"$transcript"
    step "$window" "$through_sudo: Exit (space), the program ends" 10 ended "$app"
    status=0
    wait "$app" || status=$?
    app=""
    [ "$status" -eq 0 ] || session_fail "$through_sudo, the program ended with status $status"
fi

sed 's/^/  /' "$transcript"
[ -z "$skipped" ] || session_say "$skipped"
session_say "PASS: $keys keys, ten questions, two refused actions and Exit heard in $seconds ms${qt:+; on Qt $qt}"
