#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a screen reader on Windows learns of znaydar.exe through UI Automation, read by a
# client of our own (windows/uia-client.cpp) under Debian 13's Wine 10, whose UI Automation
# client Debian 12's Wine 8 lacks. On a private X screen the program is played by keyboard
# through a whole test while the client listens to every focus change and answer chosen,
# and reads the window's tree at launch, after Start, after choosing, after each Check,
# with each notice open, and on every question. It checks what NVDA needs:
#   - every control a pupil can reach has a name and the right control type;
#   - the question reaches the reader (the answers' list is named by it);
#   - the verdict and the count after Check, and each notice's full text;
#   - the focus moves in the session's order, each move told once;
#   - the answers are in the tree in the order the screen shows them, on every question;
#   - nothing hidden is offered (the empty answers' frame under the photograph, the
#     photograph and the start button once gone, «Следующий вопрос» before and after).
# What Wine cannot answer is printed as "not checked", with the reason.
#
#   sudo bash tests/uia-listens.sh build-windows/dist/znaydar.exe
#
# Runs in a debootstrap chroot of Debian 13 with Wine and MinGW-w64 installed, kept as a
# tarball between runs by scripts/chroot.sh (ZNAYDAR_CHROOTS, ZNAYDAR_CHROOT_REFRESH).
# Needs root. Wine is not Windows: NVDA itself has not listened here.
set -euo pipefail

say() { printf 'uia-listens: %s\n' "$*"; }
fail() {
    say "FAIL: $*" >&2
    exit 1
}

# --- on the host: the chroot, with the program, the client and this script in it ----------
if [ "${1:-}" != --inside ]; then
    [ $# -eq 1 ] || fail "usage: uia-listens.sh ZNAYDAR.EXE"
    exe=$(readlink -f "$1")
    [ -s "$exe" ] || fail "no program at $1"
    here=$(cd "$(dirname "$0")" && pwd)
    . "$here/../scripts/chroot.sh"
    chroot_namespace "$0" "$@"
    began=$(date +%s)
    tarball=$(chroot_with trixie wine wine wine64 xvfb xdotool x11-utils x11-apps imagemagick \
        g++-mingw-w64-x86-64-posix)
    chroot_open "$tarball" trixie-wine
    mkdir -p "$machine/root/uia"
    cp "$exe" "$machine/root/uia/znaydar.exe"
    cp "$here/../windows/uia-client.cpp" "$here/session.sh" "$here/places.txt" "$here/uia-listens.sh" \
        "$machine/root/uia/"
    say "Debian 13 with Wine ready in $(($(date +%s) - began)) s"
    status=0
    chroot_run 'bash /root/uia/uia-listens.sh --inside' || status=$?
    say "the session took $(($(date +%s) - began)) s in all"
    exit "$status"
fi

# --- inside the chroot ---------------------------------------------------------------------
cd /root/uia
. ./session.sh
work=$(mktemp -d /tmp/uia.XXXXXX)
session_begin uia-listens 900 "$work"
say() { session_say "$@"; }
fail() { session_fail "$@"; }
cleanup() {
    set +e
    [ -z "${WINEPREFIX:-}" ] || wineserver -k 2>/dev/null
    session_end
    rm -rf "$work"
}
trap cleanup EXIT

x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -Werror -municode -static \
    -o uia-client.exe uia-client.cpp -lole32 -loleaut32 -luuid || fail "the UI Automation client did not build"
start_private_x
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
began=$(date +%s)
wineboot --init >"$work/wineboot.log" 2>&1 || fail "wineboot failed: $(tail -n 3 "$work/wineboot.log")"
wineserver -w
say "$(wine --version) prefix ready in $(($(date +%s) - began)) s"
# The client's files are written in the prefix's C: drive, and read here.
drive=$WINEPREFIX/drive_c

not_checked=()
unchecked() {
    not_checked+=("$*")
    say "   not checked: $*"
}

# --- the tree ------------------------------------------------------------------------------
# Reads the tree below a top-level window into $work/NAME.tree; the records are then read
# by the functions below. Fields of an element: 1 element, 2 depth, 3 type, 4 name,
# 5 description, 6 focused, 7 enabled, 8 focusable, 9 offscreen, 10-13 left top width
# height, 14 selected, 15 toggle.
tree=""
read_tree() {
    local name=$1 title=${2:-Знайдар}
    tree=$work/$name.tree
    wine uia-client.exe tree "$title" "C:\\$name.tree" 60 >"$work/$name.out" 2>&1 ||
        fail "$name: the client could not read the tree: $(tail -n 2 "$drive/$name.tree" 2>/dev/null)"
    cp "$drive/$name.tree" "$tree"
}
# Elements of a type (and name), as whole records.
elements() { awk -F'\t' -v type="$1" -v name="${2-}" '$1 == "element" && $3 == type && (name == "" || $4 == name)' "$tree"; }
has() { [ -n "$(elements "$@")" ]; }
field() { cut -f"$1"; }
# The focusable elements that say they have the keyboard focus (a notice's button box,
# which cannot take it, says so too, with its button).
focused_in_tree() { awk -F'\t' '$1 == "element" && $6 == "1" && $8 == "1" && $2 > 0 { print $3 "\t" $4 }' "$tree"; }
expect_focus_in_tree() {
    local want=$1 what=$2 got
    got=$(focused_in_tree)
    [ "$got" = "$want" ] ||
        fail "$what: the elements with the keyboard focus are «${got:-none}», not «$want»; the tree: $(cut -f2-9 "$tree")"
}
# Every control a pupil can reach by keyboard has a name, and is a button or an answer.
reachable_named() {
    local what=$1 bad
    bad=$(awk -F'\t' '$1 == "element" && $2 > 0 && $8 == "1" && $7 == "1" &&
                      ($4 == "" || ($3 != "Button" && $3 != "RadioButton")) { print $3 " «" $4 "»" }' "$tree")
    [ -z "$bad" ] || fail "$what: reachable without a name or of another type: $bad"
}
absent() {
    local what=$1 type=$2 name=${3-}
    ! has "$type" "$name" || fail "$what: offered though hidden: $type «$name»"
}
# The answers: four radio buttons in the answers' list, in the tree's order, each below
# the one before it on the screen; prints their names, one a line.
answers_in_order() {
    local what=$1 list
    list=$(elements List | field 4)
    [ "$(wc -l <<<"$list")" -eq 1 ] && [ -n "$list" ] || fail "$what: not one named answers' list: «$list»"
    awk -F'\t' -v what="$what" '
        $1 == "element" && $3 == "List" { inlist = 1; depth = $2; next }
        $1 == "element" && inlist && $2 <= depth { inlist = 0 }
        $1 == "element" && inlist && $3 == "RadioButton" {
            if (count > 0 && $11 <= top) { printf "%s: answer %d «%s» is in the tree after «%s» but not below it\n", what, count + 1, $4, last > "/dev/stderr"; bad = 1 }
            top = $11; last = $4; count++; print $4
        }
        END { if (count != 4) { printf "%s: %d answers in the list, not 4\n", what, count > "/dev/stderr"; bad = 1 } exit bad }' "$tree" ||
        fail "$what: the answers are not in the order the screen shows them"
}

# --- the focus changes, as the listening client writes them --------------------------------
events=$drive/events.txt
seen=0
event=""
last_event=""
repeats=()
selections=()
windows_told=0
next_event() {
    local line
    while line=$(sed -n "$((seen + 1))p" "$events" 2>/dev/null) && [ -n "$line" ]; do
        seen=$((seen + 1))
        [[ $line == focused* || $line == selected* ]] || continue
        event=$line
        return 0
    done
    return 1
}
# Waits for the focus to move to the control named (any of the type where the name is
# empty); sets focus_name. On the way only the controls matching PASSING are allowed (the
# answers where Tab passes through the list); a focus change told again for the control
# just told is kept apart.
#   expect_focus TYPE NAME WHAT [PASSING, a pattern for "TYPE<tab>NAME"]
focus_name=""
expect_focus() {
    local type=$1 name=$2 what=$3 through=${4:-}
    while true; do
        within 60 next_event ||
            fail "$what: no focus change to $type «$name» within 60 s (the client's last lines: $(tail -n 3 "$events" | tr '\t\n' ' |'))"
        if [[ $event == selected* ]]; then
            selections+=("$what: ${event#selected	}")
            continue
        fi
        if [ "$event" = "$last_event" ]; then
            repeats+=("$what: ${event#focused	}")
            continue
        fi
        [[ $event == "focused	Window	"* ]] && windows_told=$((windows_told + 1))
        last_event=$event
        IFS=$'\t' read -r _ got_type focus_name <<<"$event"
        [ "$got_type" = "$type" ] && { [ -z "$name" ] || [ "$focus_name" = "$name" ]; } && return 0
        [ -n "$through" ] && [[ "$got_type	$focus_name" =~ $through ]] && continue
        [[ "$got_type	$focus_name" =~ $windows_on_the_way ]] && continue
        fail "$what: the focus went to $got_type «$focus_name», not to $type «$name»; the focus changes told: $(grep '^focused' "$events" | cut -f2- | tr '\t\n' ' |')"
    done
}

answers_on_the_way='^RadioButton	'
# Waits up to SECONDS for a command to hold, looking every tenth of a second.
within() {
    local until=$((EPOCHSECONDS + $1))
    shift
    until "$@"; do
        [ "$EPOCHSECONDS" -lt "$until" ] || return 1
        sleep 0.1
    done
}
# Wine tells a focus change to a top-level window itself when its native window takes the
# focus (a notice's as it closes, the program's after it); such a change names no control.
windows_on_the_way='^Window	'

# --- the session ---------------------------------------------------------------------------
# A notice: its window named with its title and its whole text, the text inside, and OK
# with the focus, both in the tree and as the focus change told.
check_notice() {
    local text=$1 what=$2
    step "$window" "$what: the notice" 60 notice_open
    expect_focus Button OK "$what: the notice"
    read_tree "notice$3" "Внимание!"
    has Window "Внимание! $text" || fail "$what: the notice is not named «Внимание! $text»: $(elements Window | field 4)"
    has Text "$text" || fail "$what: no text «$text» in the notice"
    expect_focus_in_tree "Button	OK" "$what: the notice"
    say "   notice «Внимание! $text»: its text inside, «OK» focused"
}
# The tree of a question: the answers' list named with the question, the answers in their
# rows, the focus on the top one, nothing hidden offered.
check_question() {
    local number=$1 list text
    read_tree "question$number"
    reachable_named "question $number"
    list=$(elements List | field 4)
    text=$(elements Text | field 4 | grep -Fx -- "${list#"Вопрос $number из 10. "}" || true)
    [[ $list == "Вопрос $number из 10. "?* ]] && [ -n "$text" ] ||
        fail "question $number: the answers' list is named «$list», not «Вопрос $number из 10.» and the question"
    mapfile -t answers < <(answers_in_order "question $number")
    [ "$focus_name" = "${answers[0]}" ] ||
        fail "question $number: the focus went to «$focus_name», not to the top answer «${answers[0]}»"
    expect_focus_in_tree "RadioButton	${answers[0]}" "question $number"
    absent "question $number" Button "Начать тест"
    absent "question $number" Image
}
# After Check: the focused button carries the verdict and the count the window shows.
check_verdict() {
    local number=$1 button=$2 tail=${3:-} count
    read_tree "checked$number"
    count=$(elements Text | field 4 | sed -n 's/^Ошибок: \([0-9]*\)$/\1/p')
    [ -n "$count" ] || fail "question $number: no «Ошибок: N» text after Check"
    expect_focus_in_tree "Button	$button" "question $number, after Check"
    [ "$(elements Button "$button" | field 5)" = "Ответ принят. Ошибок: $count.$tail" ] ||
        fail "question $number: «$button» is described «$(elements Button "$button" | field 5)», not «Ответ принят. Ошибок: $count.$tail»"
    say "   after Check: «$button», described «Ответ принят. Ошибок: $count.$tail»"
}
# The chosen answer's state, where Wine answers it.
check_chosen() {
    local record selected toggle
    read_tree chosen
    record=$(elements RadioButton "$focus_name")
    selected=$(field 14 <<<"$record")
    toggle=$(field 15 <<<"$record")
    if [ "$selected" = "?" ] && [ "$toggle" = "?" ]; then
        unchecked "the chosen answer's selected and checked state: Wine 10's SelectionItem and Toggle pattern properties give no value (Qt's accessible state is checked in tst_form1_access)"
    else
        [ "$selected" = 1 ] || [ "$toggle" = 1 ] || fail "after choosing: «$focus_name» reads neither selected nor checked ($selected, $toggle)"
        say "   the chosen answer reads selected ($selected) and checked ($toggle)"
    fi
}

say "the program under $(wine --version), read by uia-client.exe"
session_spawn "$work/program.out" wine znaydar.exe
program=$spawned
find_window window "Знайдар" 120
step "$window" "the launch screen" 60 launch_screen

say "1. launch"
read_tree launch
has Window "Знайдар" || fail "launch: no window «Знайдар» at the root"
reachable_named launch
expect_focus_in_tree "Button	Начать тест" launch
absent launch List
absent launch RadioButton
absent launch Button "Следующий вопрос"
has Image "Фотография: морской берег, трава на дюнах, море и небо" || fail "launch: the photograph has no name"
given=$(sed -n 's/^focused\t//p' "$tree" | tr '\t' ' ')
[ "$given" = "Button Начать тест" ] ||
    unchecked "GetFocusedElement: Wine gives «$given», not the focused button; each element's HasKeyboardFocus and the focus-changed events are read instead"
say "   the window, its buttons named, «Начать тест» focused; no answers' list under the photograph"

session_spawn "$work/listen.out" wine uia-client.exe listen 'C:\events.txt' 'C:\stop' 900
listener=$spawned
within 60 grep -qs '^listening' "$events" || fail "the listening client did not start: $(cat "$events" 2>/dev/null)"
selection_note=$(sed -n 's/^note\t//p' "$events")
# Keys go to the window under the pointer until Wine gives its window the X focus.
at "$window" status_line
xdotool mousemove --window "$window" "$at_x" "$at_y"

say "2. a whole test by keyboard"
chosen=0
for number in $(seq 10); do
    if [ "$number" = 1 ]; then
        press space
        step "$window" "Start (Space)" 60 shows next_face
        # Wine tells the focus the window has when a client starts listening.
        expect_focus RadioButton "" "Start" '^Button	Начать тест$'
    else
        press space
        expect_focus RadioButton "" "question $number"
    fi
    check_question "$number"
    if [ "$number" = 2 ]; then
        # Check with nothing chosen is refused.
        press Tab
        expect_focus Button "Проверить" "question 2: Tab to «Проверить»" "$answers_on_the_way"
        press space
        check_notice "Выберите ответ" "question 2: Check with nothing chosen" 2
        press Return
        step "$window" "question 2: the notice closed" 60 notice_closed
        expect_focus Button "Проверить" "question 2: the notice closed" "$windows_on_the_way"
        press shift+Tab
        expect_focus RadioButton "" "question 2: Shift+Tab back to the answers"
    fi
    press space
    step "$window" "question $number: an answer chosen (Space)" 60 chosen
    chosen=$((chosen + 1))
    if [ "$number" = 1 ]; then
        check_chosen
        # Next before Check is refused.
        press Tab
        expect_focus Button "Проверить" "question 1: Tab to «Проверить»" "$answers_on_the_way"
        press Tab
        expect_focus Button "Выход" "question 1: Tab to «Выход»"
        press Tab
        expect_focus Button "Следующий вопрос" "question 1: Tab to «Следующий вопрос»"
        press space
        check_notice "Нажмите кнопку ПРОВЕРИТЬ" "question 1: Next before Check" 1
        press Return
        step "$window" "question 1: the notice closed" 60 notice_closed
        expect_focus Button "Следующий вопрос" "question 1: the notice closed" "$windows_on_the_way"
        press shift+Tab
        expect_focus Button "Выход" "question 1: Shift+Tab to «Выход»"
        press shift+Tab
        expect_focus Button "Проверить" "question 1: Shift+Tab to «Проверить»"
    else
        press Tab
        expect_focus Button "Проверить" "question $number: Tab to «Проверить»" "$answers_on_the_way"
    fi
    press space
    step "$window" "question $number: Check (Space)" 60 accepted
    if [ "$number" -lt 10 ]; then
        expect_focus Button "Следующий вопрос" "question $number: Check"
        [ "$number" != 1 ] || check_verdict 1 "Следующий вопрос"
    else
        expect_focus Button "Выход" "question 10: Check"
        check_verdict 10 "Выход" " Это был последний вопрос, тест окончен."
        absent "question 10" Button "Следующий вопрос"
    fi
done
say "   ten questions, each named in the answers' list, the answers in the rows' order"

press space
check_notice "Покажите результат учителю" "question 10: Exit" 10
press Return
step "$window" "the last notice closed" 60 notice_closed
expect_focus Button "Выход" "the last notice closed" "$windows_on_the_way"
press space
step "$window" "Exit (Space) ends the program" 60 ended "$program"
wait "$program" || fail "the program ended with status $?"
touch "$drive/stop"
wait "$listener" || fail "the listening client ended with status $?: $(tail -n 2 "$events")"

say "3. the focus changes, $(grep -c '^focused' "$events") told"
# A notice's OK is told twice as the notice opens: once by the program (Qt), once by Wine
# for the notice's native window taking the focus, asking it for its focused element. Any
# other repeat is the program's.
ours=()
wines=0
for repeat in "${repeats[@]}"; do
    if [[ $repeat == *": Button	OK" ]]; then
        wines=$((wines + 1))
    else
        ours+=("$repeat")
    fi
done
if [ ${#ours[@]} -gt 0 ]; then
    printf 'uia-listens:    told twice: %s\n' "${ours[@]}" | tr '\t' ' '
    fail "${#ours[@]} focus changes were told twice"
fi
say "   each in the session's order, each told once by the program; $windows_told told for a whole window by Wine"
[ "$wines" = 0 ] ||
    unchecked "that a notice's «OK» is told once: Wine tells it again for the notice's native window ($wines of 3 notices)"
if [ -n "$selection_note" ]; then
    unchecked "an answer chosen, told as ElementSelected: $selection_note"
elif [ ${#selections[@]} -lt "$chosen" ]; then
    fail "$chosen answers chosen, ${#selections[@]} told as selected"
else
    say "   each answer chosen told as selected (${#selections[@]} for $chosen choices)"
fi
unchecked "property-changed and structure-changed events: Wine 10's handlers for them are stubs"
say "PASS: what UI Automation gives a screen reader, under $(wine --version); ${#not_checked[@]} things not checked"
