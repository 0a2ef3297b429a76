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
# Orca, its private screen and its buses are set up by tests/orca.sh.
set -euo pipefail

# The whole session's time, below the test's limit in tests/CMakeLists.txt (240 s): a session
# too slow for it still says which key it stood at.
session_seconds=200
. "$(dirname "$0")/session.sh"
. "$(dirname "$0")/orca.sh"
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

orca_begin orca-listens "$session_seconds"

started=$(date +%s%N)
# Qt speaks to the accessibility bus when a screen reader asks for it; on a bare bus
# nothing asks, so the bridge is switched on from the start. In a sanitizer build, full
# stacks let the leak suppressions tell the bridge's own allocations inside Qt from ours.
session_spawn "$work/program.out" "${marked[@]}" ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0" \
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb "$program"
app=$spawned
find_window window "$name"

orca_start
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
