# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by tests/uia-listens.sh, after session.sh: what uia-client.exe writes, read. The
# tree of a top-level window (read_tree, then elements, has, field and the checks on it),
# and the focus changes and selections the listening client writes as they come
# (expect_focus); then what a question, a verdict after Check and a notice must offer. Needs
# $work, $drive (the prefix's C: drive), $wine, and the session's step and press.

# --- the tree ------------------------------------------------------------------------------
# Reads the tree below a top-level window into $work/NAME.tree; the records are then read
# by the functions below. Fields of an element: 1 element, 2 depth, 3 type, 4 name,
# 5 description, 6 focused, 7 enabled, 8 focusable, 9 offscreen, 10-13 left top width
# height, 14 selected, 15 toggle.
tree=""
read_tree() {
    local file=$1 title=${2:-$name}
    tree=$work/$file.tree
    "$wine" uia-client.exe tree "$title" "C:\\$file.tree" 60 >"$work/$file.out" 2>&1 ||
        fail "$file: the client could not read the tree: $(tail -n 2 "$drive/$file.tree" 2>/dev/null)"
    cp "$drive/$file.tree" "$tree"
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
# Nothing offered is without a name: an unnamed element is a blank stop for a pupil walking
# the window with a screen reader's object navigation. One that holds elements (a row of
# buttons) is passed through to them, and they are checked themselves.
none_blank() {
    local what=$1 blank
    blank=$(awk -F'\t' '
        function report() { if (pending != "") { printf "%s%s", sep, pending; sep = "; " } pending = "" }
        $1 != "element" { next }
        pending != "" && $2 > depth { pending = "" }
        { report() }
        $2 > 0 && $4 == "" { pending = sprintf("%s (described «%s») at %s,%s", $3, $5, $10, $11); depth = $2 }
        END { report() }' "$tree")
    [ -z "$blank" ] || fail "$what: a screen reader walking the window meets blank stops, offered without a name: $blank"
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
# Wine tells a focus change to a top-level window itself when its native window takes the
# focus (a notice's as it closes, the program's after it); such a change names no control.
windows_on_the_way='^Window	'

# --- what a question, a verdict and a notice offer --------------------------------------
# A notice: its window named with its title and its whole text, the text inside, and OK
# with the focus, both in the tree and as the focus change told.
check_notice() {
    local text=$1 what=$2
    step "$window" "$what: the notice" 60 notice_open
    expect_focus Button OK "$what: the notice"
    read_tree "notice$3" "Внимание!"
    has Window "Внимание! $text" || fail "$what: the notice is not named «Внимание! $text»: $(elements Window | field 4)"
    has Text "$text" || fail "$what: no text «$text» in the notice"
    none_blank "$what: the notice"
    expect_focus_in_tree "Button	OK" "$what: the notice"
    say "   notice «Внимание! $text»: its text inside, «OK» focused"
}
# The tree of a question: the answers' list named with the question, the answers in their
# rows, the focus on the top one, nothing hidden offered.
check_question() {
    local number=$1 list text
    read_tree "question$number"
    reachable_named "question $number"
    none_blank "question $number"
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
    has Text "Ответ принят" || fail "question $number: the status line «Ответ принят» is not offered after Check"
    none_blank "question $number, after Check"
    say "   after Check: «$button», described «Ответ принят. Ошибок: $count.$tail»"
}
