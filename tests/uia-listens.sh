#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# What a screen reader on Windows learns of znaydar.exe through UI Automation, read by a
# client of our own (tests/uia/uia-client.cpp) under Debian 13's Wine 10, whose UI Automation
# client Debian 12's Wine 8 lacks. On a private X screen the program is played by keyboard
# through a whole test while the client listens to every focus change and answer chosen,
# and reads the window's tree at launch, after Start, after choosing, after each Check,
# with each notice open, and on every question. It checks what NVDA needs:
#   - every control a pupil can reach has a name and the right control type, and nothing
#     offered is unnamed (no empty label as a blank stop);
#   - the question reaches the reader (the answers' list is named by it);
#   - the verdict and the count after Check, heard once: not again on coming back to the
#     button without pressing it; and each notice's full text;
#   - the focus moves in the session's order, each move told once;
#   - the answers are in the tree in the order the screen shows them, on every question;
#   - nothing hidden is offered (the empty answers' frame under the photograph, the
#     photograph and the start button once gone, «Следующий вопрос» before and after).
# What Wine cannot answer is printed as "not checked", with the reason.
#
#   sudo bash tests/uia-listens.sh BUILD_DIR [UIA-CLIENT.EXE]
#   sudo ctest --test-dir build-windows -L uia      the same, as the Windows build's test
#
# BUILD_DIR is the Windows build after its installer target (dist/znaydar.exe, product.env);
# the client is the one that build made, or else built here from tests/uia. Runs in a
# debootstrap chroot of Debian 13 with Wine and MinGW-w64 installed, kept as a tarball
# between runs by scripts/chroot.sh (ZNAYDAR_CHROOTS, ZNAYDAR_CHROOT_REFRESH). Needs root;
# skipped (status 77) without. Wine is not Windows: NVDA itself has not listened here.
set -euo pipefail

say() { printf 'uia-listens: %s\n' "$*"; }
fail() {
    say "FAIL: $*" >&2
    exit 1
}

# --- on the host: the chroot, with the program, the client and the scripts in it --------
if [ "${1:-}" != --inside ]; then
    [ $# -ge 1 ] && [ $# -le 2 ] && [ -f "$1/product.env" ] || fail "usage: uia-listens.sh BUILD_DIR [UIA-CLIENT.EXE]"
    build=$(cd "$1" && pwd)
    exe=$build/$(. "$build/product.env" && echo "$exe")
    [ -s "$exe" ] || fail "no program at $exe: build the installer target first"
    if [ "$(id -u)" -ne 0 ]; then
        say "skipped: the Debian 13 chroot needs root"
        exit 77
    fi
    here=$(cd "$(dirname "$0")" && pwd)
    . "$here/../scripts/chroot.sh"
    chroot_namespace "$0" "$@"
    began=$(date +%s)
    tarball=$(chroot_with trixie wine wine wine64 xvfb xdotool x11-utils x11-apps imagemagick \
        g++-mingw-w64-x86-64-posix cmake ninja-build)
    chroot_open "$tarball" trixie-wine
    mkdir -p "$machine/root/uia"
    cp "$exe" "$machine/root/uia/znaydar.exe"
    cp "$build/product.env" "$here/session.sh" "$here/wine.sh" "$here/places.txt" "$here/uia-tree.sh" \
        "$here/uia-listens.sh" "$machine/root/uia/"
    # The client as the Windows build made it, or its target to build in Debian 13.
    if [ -n "${2:-}" ]; then
        cp "$2" "$machine/root/uia/uia-client.exe"
    else
        cp -r "$here/uia" "$machine/root/uia/client"
        cp "$here/../cmake/mingw-w64-x86_64.cmake" "$machine/root/uia/client/"
    fi
    say "Debian 13 with Wine ready in $(($(date +%s) - began)) s"
    status=0
    chroot_run 'bash /root/uia/uia-listens.sh --inside' || status=$?
    say "the session took $(($(date +%s) - began)) s in all"
    exit "$status"
fi

# --- inside the chroot ---------------------------------------------------------------------
cd /root/uia
. ./session.sh
. ./wine.sh
. ./uia-tree.sh
session_name=uia-listens
session_product . || fail "no product.env"
if [ ! -s uia-client.exe ]; then
    { cmake -S client -B client-build -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$PWD/client/mingw-w64-x86_64.cmake" && cmake --build client-build; } >client.log 2>&1 ||
        { tail -n 30 client.log; fail "the UI Automation client did not build"; }
    cp client-build/uia-client.exe .
fi
wine_begin uia-listens 900
work=$wine_folder
say() { session_say "$@"; }
fail() { session_fail "$@"; }
# The client's files are written in the prefix's C: drive, and read here.
drive=$WINEPREFIX/drive_c
events=$drive/events.txt

not_checked=()
unchecked() {
    not_checked+=("$*")
    say "   not checked: $*"
}

# --- the session ---------------------------------------------------------------------------
# The verdict is news once: a pupil who leaves the button it rides on and comes back without
# pressing it hears what the button does, not the verdict again as if just given.
back_without_pressing() {
    local number=$1 button=$2 neighbour=$3 meaning=$4 heard
    press shift+Tab
    expect_focus Button "$neighbour" "question $number: Shift+Tab from «$button» to «$neighbour»"
    press Tab
    expect_focus Button "$button" "question $number: Tab back to «$button»"
    read_tree "back$number"
    expect_focus_in_tree "Button	$button" "question $number, back on «$button»"
    heard=$(elements Button "$button" | field 5)
    [ "$heard" = "$meaning" ] ||
        fail "question $number: back on «$button» without pressing it, the pupil hears «$heard» again as if just given, not «$meaning»"
    say "   back on «$button» without pressing it: described «$meaning»"
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

say "the program under $("$wine" --version), read by uia-client.exe"
session_spawn "$work/program.out" "$wine" znaydar.exe
program=$spawned
find_window window "$name" 120
step "$window" "the launch screen" 60 launch_screen

say "1. launch"
read_tree launch
has Window "$name" || fail "launch: no window «$name» at the root"
reachable_named launch
none_blank launch
expect_focus_in_tree "Button	Начать тест" launch
absent launch List
absent launch RadioButton
absent launch Button "Следующий вопрос"
has Image "Фотография: морской берег, трава на дюнах, море и небо" || fail "launch: the photograph has no name"
given=$(sed -n 's/^focused\t//p' "$tree" | tr '\t' ' ')
[ "$given" = "Button Начать тест" ] ||
    unchecked "GetFocusedElement: Wine gives «$given», not the focused button; each element's HasKeyboardFocus and the focus-changed events are read instead"
say "   the window, its buttons named, «Начать тест» focused; no answers' list under the photograph"

session_spawn "$work/listen.out" "$wine" uia-client.exe listen "$name" 'C:\events.txt' 'C:\stop' 900
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
        if [ "$number" = 1 ] || [ "$number" = 3 ]; then
            check_verdict "$number" "Следующий вопрос"
        fi
        [ "$number" != 3 ] || back_without_pressing 3 "Следующий вопрос" "Выход" "Перейти к следующему вопросу"
    else
        expect_focus Button "Выход" "question 10: Check"
        check_verdict 10 "Выход" " Это был последний вопрос, тест окончен."
        absent "question 10" Button "Следующий вопрос"
        back_without_pressing 10 "Выход" "Проверить" "Выйти из программы"
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
say "PASS: what UI Automation gives a screen reader, under $("$wine" --version); ${#not_checked[@]} things not checked"
