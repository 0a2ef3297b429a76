#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The self-contained Linux program and its packages, as a technician on another Linux meets
# them:
#   0. the program file (tests/check-program.sh): glibc 2.28 symbol by symbol, no C++
#      runtime, only an X11 desktop's libraries, no search path, at most 20 MB, and what a
#      static Qt carries only when asked;
#   1. the packages, read on this machine: the .deb (tests/check-deb.sh, with Qt carried,
#      not asked for), and the .rpm: it reads with rpm -qp, has an xz payload, only plain
#      soname dependencies, a Russian and English summary and description, and lays out
#      with rpm -i --nodeps --root the same files as the .deb, the program byte for byte;
#   2. on fresh minimal Debian 11, 12 and 13 machines with no Qt at all, only a desktop's X
#      libraries and the test's tools: the program file copied on as from a USB stick
#      (where a library is missing, the loader's own message names it), the .deb installed
#      with apt, which brings what it lacked and no Qt, the program started with no screen,
#      then a whole test by keyboard under the Russian keyboard layout to «Покажите
#      результат учителю» and an exit with status 0; on Debian 11 also the same test heard
#      through its own Orca (tests/orca-listens.sh), and every soname the .rpm requires
#      found there.
#
#   sudo bash tests/linux-tests.sh BUILD_DIR
#   sudo bash tests/linux-tests.sh --prepare    only makes the machines, or finds them kept
#
# BUILD_DIR is the self-contained build after its dist target (scripts/linux.sh): dist/ and
# product.env. The machines are kept as tarballs between runs by scripts/chroot.sh
# (ZNAYDAR_CHROOTS, ZNAYDAR_CHROOT_REFRESH). Needs root. No Astra Linux, ALT or RED OS was
# at hand: Debian 11 stands in for the oldest of them.
set -euo pipefail

say() { printf 'linux-tests: %s\n' "$*"; }
fail() {
    say "FAIL: $*" >&2
    exit 1
}

# The test's own tools on every machine; the X libraries a desktop has come with them.
# Debian 11 also gets its Orca, with the buses a desktop has.
tools=(xvfb xdotool x11-utils x11-apps x11-xkb-utils imagemagick)
listener=(orca dbus at-spi2-core)

# The kept machine of a Debian release: prints its tarball's path.
machine_of() {
    case $1 in
    11) chroot_with bullseye desktop "${tools[@]}" "${listener[@]}" ;;
    12) chroot_with bookworm desktop "${tools[@]}" ;;
    13) chroot_with trixie desktop "${tools[@]}" ;;
    esac
}
suite_of() {
    case $1 in
    11) echo bullseye ;;
    12) echo bookworm ;;
    13) echo trixie ;;
    esac
}

if [ "${1:-}" = --prepare ]; then
    # Only makes the machines, or finds them kept: linux.sh does this while Qt builds.
    here=$(cd "$(dirname "$0")" && pwd)
    . "$here/../scripts/chroot.sh"
    chroot_namespace "$here/linux-tests.sh" "$@"
    for release in 11 12 13; do
        machine_of "$release" >/dev/null
    done
    exit 0
fi

if [ "${1:-}" != --inside ]; then
    # --- on this machine ---------------------------------------------------------------
    [ $# -eq 1 ] || fail "usage: linux-tests.sh BUILD_DIR | --prepare"
    here=$(cd "$(dirname "$0")" && pwd)
    build=$(cd "$1" && pwd)
    . "$here/../scripts/chroot.sh"
    chroot_namespace "$here/linux-tests.sh" "$@"
    # shellcheck source=/dev/null
    . "$build/product.env"
    for file in "$linux_program" "$rpm" "$deb"; do
        [ -s "$build/$file" ] || fail "no $file in $build: build it with scripts/linux.sh"
    done
    work=$(mktemp -d "${TMPDIR:-/tmp}/linux-tests.XXXXXX")
    trap 'rm -rf "$work"' EXIT

    say "0. the program file"
    bash "$here/check-program.sh" "$build/$linux_program" || fail "the program file is not one every school's Linux can start"

    say "1. the packages"
    ZNAYDAR_DEB_QT=carried bash "$here/check-deb.sh" "$build" "$build/$deb" || fail "the .deb is not what Astra Linux needs"
    # Astra Linux 1.7 is built on Debian 10: every version the .deb asks for must be one
    # Debian 10 had when it came out (Debian 11's own shlibs ask too much of libx11-xcb1,
    # which linux/shlibs.override corrects).
    debian_10='libc6 2.28-10
libdbus-1-3 1.12.16-1
libfontconfig1 2.13.1-2
libfreetype6 2.9.1-3
libx11-6 2:1.6.7-1
libx11-xcb1 2:1.6.7-1
libxcb1 1.13.1-2
libxcb-icccm4 0.4.1-1.1
libxcb-image0 0.4.0-1
libxcb-keysyms1 0.4.0-1
libxcb-randr0 1.13.1-2
libxcb-render0 1.13.1-2
libxcb-render-util0 0.3.9-1
libxcb-shape0 1.13.1-2
libxcb-shm0 1.13.1-2
libxcb-sync1 1.13.1-2
libxcb-xfixes0 1.13.1-2
libxcb-xkb1 1.13.1-2
libxkbcommon0 0.8.2-1
libxkbcommon-x11-0 0.8.2-1
zlib1g 1:1.2.11.dfsg-1'
    dpkg-deb -f "$build/$deb" Depends | tr ',' '\n' | sed -E 's/^ +//' >"$work/depends"
    while read -r name _ wanted; do
        had=$(awk -v name="$name" '$1 == name { print $2 }' <<<"$debian_10")
        [ -n "$had" ] || fail "the .deb depends on $name, which Debian 10's desktop libraries do not include"
        wanted=${wanted%)}
        [ -z "$wanted" ] || dpkg --compare-versions "$had" ge "$wanted" ||
            fail "the .deb asks for $name (>= $wanted); Debian 10, under Astra Linux 1.7, has $had"
    done <"$work/depends"
    package=$build/$rpm
    rpm -qp --nosignature --qf '%{NAME} %{VERSION}-%{RELEASE} %{ARCH} %{PAYLOADCOMPRESSOR}\n' "$package" >"$work/rpm.info" ||
        fail "rpm -qp cannot read $rpm"
    read -r name rpm_version arch compressor <"$work/rpm.info"
    [ "$name $rpm_version $arch" = "znaydar $version-1 x86_64" ] || fail "the .rpm is $name $rpm_version $arch, not znaydar $version-1 x86_64"
    # rpm 4.14 and older (ALT's, RED OS 7's) read gzip and xz payloads, not zstd.
    [ "$compressor" = xz ] || fail "the .rpm's payload is $compressor, not xz"
    rpm -qp --nosignature --requires "$package" >"$work/requires"
    say "the .rpm requires: $(tr '\n' ' ' <"$work/requires")"
    # A rich dependency starts with a bracket; ALT's apt-rpm rejects it. Everything else
    # must be a library by soname, or rpm's and the loader's own capabilities.
    plain='^([A-Za-z0-9_.+-]+\.so(\.[0-9]+)*\(([A-Za-z0-9_.]*)\)\(64bit\)|rpmlib\(.*|rtld\(GNU_HASH\))$'
    while read -r requirement; do
        [[ "$requirement" =~ $plain ]] || fail "the .rpm requires «$requirement», which is not a plain soname"
        [[ "$requirement" != *[Qq]t[56]* ]] || fail "the .rpm requires Qt: $requirement"
    done <"$work/requires"
    for field in SUMMARY DESCRIPTION; do
        rpm -qp --nosignature --qf "%{$field}" "$package" >"$work/$field"
        LC_ALL=C grep -q $'[\xd0\xd1]' "$work/$field" || fail "the .rpm's $field has no Russian"
        LC_ALL=C grep -Eq '[A-Za-z]{4,} [a-z]{2,} [a-z]{4,}' "$work/$field" || fail "the .rpm's $field has no English"
    done
    # The same files as the .deb, laid out by rpm itself, the program byte for byte.
    root=$work/rpm-root
    mkdir -p "$root"
    rpm --root "$root" --initdb
    rpm --root "$root" -i --nodeps --nosignature --noscripts "$package" 2>"$work/rpm-i.log" ||
        fail "rpm -i --nodeps --root cannot install the .rpm: $(tail -n 3 "$work/rpm-i.log")"
    (cd "$root" && find usr -type f | sort) >"$work/rpm.files"
    dpkg-deb -c "$build/$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$work/deb.files"
    diff "$work/deb.files" "$work/rpm.files" >"$work/files.diff" ||
        fail "the .rpm and the .deb hold different files (< .deb only, > .rpm only): $(cat "$work/files.diff")"
    cmp -s "$root/usr/bin/znaydar" "$build/$linux_program" || fail "the .rpm's /usr/bin/znaydar is not the program file"
    grep -q "qt6-base" "$root/usr/share/doc/znaydar/qt/QT-SOURCE.txt" ||
        fail "the packages do not name the Qt source the program was built from"
    say "the .rpm: $(wc -l <"$work/rpm.files") files, the same as the .deb's, xz payload, plain sonames only"

    say "2. fresh Debian machines with no Qt"
    for release in 11 12 13; do
        began=$(date +%s)
        tarball=$(machine_of "$release")
        (
            chroot_open "$tarball" "$(suite_of "$release")-desktop"
            inside=$machine/root/linux-tests
            mkdir -p "$inside/tests" "$inside/content" "$inside/dist" "$inside/docs"
            cp "$here"/../docs/screenshot-launch.png "$inside/docs/"
            cp "$here"/linux-tests.sh "$here"/session.sh "$here"/places.txt "$here"/no-display.sh \
                "$here"/orca.sh "$here"/orca-listens.sh "$inside/tests/"
            cp "$here"/../content/QuestionBank.cpp "$inside/content/"
            cp "$build/product.env" "$work/requires" "$inside/"
            cp "$build/$linux_program" "$build/$deb" "$inside/dist/"
            chroot_run 'bash /root/linux-tests/tests/linux-tests.sh --inside "$1"' "$release"
        ) || fail "Debian $release: see above"
        say "Debian $release passed in $(($(date +%s) - began)) s"
    done
    say "PASS: the program file, the .rpm and the .deb; Debian 11, 12 and 13 with no Qt"
    exit 0
fi

# --- inside a fresh machine -------------------------------------------------------------------
release=$2
cd /root/linux-tests
# shellcheck source=/dev/null
. ./product.env
. tests/session.sh
work=$(mktemp -d /tmp/linux-tests.XXXXXX)
session_begin "debian-$release" 600 "$work"
say() { session_say "$@"; }
fail() { session_fail "$@"; }
trap 'session_end; rm -rf "$work"' EXIT

no_qt() {
    local installed files
    installed=$(dpkg-query -W -f='${db:Status-Abbrev} ${Package}\n' | awk '$1 ~ /^.i/ && tolower($2) ~ /^libqt/ { print $2 }')
    [ -z "$installed" ] || fail "$1: Qt is installed: $installed"
    files=$(find / -xdev \( -name 'libQt*' -o -name 'libqt*' \) ! -path '/root/linux-tests/*' 2>/dev/null | head -n 3)
    [ -z "$files" ] || fail "$1: Qt's libraries are here: $files"
}
no_qt "before anything is installed"

# The program file, as a technician copies it from a USB stick.
stick=$work/stick
mkdir "$stick"
cp "dist/${linux_program##*/}" "$stick/znaydar"
chmod +x "$stick/znaydar"
missing=$(ldd "$stick/znaydar" | awk '/not found/ { print $1 }')
if [ -n "$missing" ]; then
    # The loader stops at the first library it cannot find, and names it.
    status=0
    "$stick/znaydar" >/dev/null 2>"$work/loader.err" || status=$?
    first=$(head -n 1 <<<"$missing")
    [ "$status" -eq 127 ] && grep -qF "error while loading shared libraries: $first" "$work/loader.err" ||
        fail "the program file, lacking $first, ended with $status saying: $(cat "$work/loader.err")"
    say "before the .deb, the loader names what this desktop lacks: $(cat "$work/loader.err")"
    say "   (lacking here: $(tr '\n' ' ' <<<"$missing"))"
else
    say "this desktop has every library the program file needs"
fi

say "apt install ./${deb##*/}"
{ apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "./dist/${deb##*/}"; } \
    >"$work/apt.log" 2>&1 || fail "apt could not install the .deb: $(tail -n 5 "$work/apt.log")"
no_qt "after the .deb"
cmp -s /usr/bin/znaydar "$stick/znaydar" || fail "the installed /usr/bin/znaydar is not the program file"
! ldd /usr/bin/znaydar | grep 'not found' || fail "the .deb's dependencies leave a library missing"

bash tests/no-display.sh /usr/bin/znaydar || fail "started with no screen: see above"

# A Russian school's keyboard: the Russian layout active.
start_private_x
setxkbmap -layout ru,us || fail "setxkbmap could not set the Russian layout"
# The compose-key input says it is there when the program starts.
session_spawn "$work/program.out" env LANG=C.UTF-8 QT_QPA_PLATFORM=xcb QT_LOGGING_RULES='qt.xkb.compose.debug=true' \
    "$stick/znaydar"
program=$spawned
find_window window Знайдар
size=$(xwininfo -id "$window" | awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w "x" h }')
[ "$size" = 712x420 ] || fail "the window is $size, not 712x420"
step "$window" "the launch screen, 712x420" 60 launch_screen
has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
xdotool windowfocus "$window"
step "$window" "the window has the keyboard" 30 has_focus
# The launch screen as the README's picture shows it, taken from the build against Debian
# 12's Qt: the program's own font, its style, and its photograph through the JPEG reader.
# Another FreeType draws the odd edge pixel of a letter differently; another font, or no
# photograph, changes thousands.
as_pictured() {
    differ=$(window_shot "$1" | magick_ xwd:- docs/screenshot-launch.png -fuzz 10% -metric AE -compare \
        -format '%[distortion]' info: 2>/dev/null) || return 1
    [ "${differ%.*}" -le 600 ]
}
step "$window" "the launch screen as docs/screenshot-launch.png shows it" 30 as_pictured
say "   $differ pixels differ from the picture"
press space
step "$window" "Space on «Начать тест»: question 1" 30 shows next_face 80ff80
for number in 1 2 3 4 5 6 7 8 9 10; do
    press space
    step "$window" "question $number: Space chooses the focused answer" 30 chosen
    # Tab and then Space reach the window in that order: Space lands on «Проверить».
    press Tab space
    step "$window" "question $number: Tab, Space on «Проверить»: «Ответ принят»" 30 accepted
    if [ "$number" -lt 10 ]; then
        press space
        step "$window" "Space on «Следующий вопрос»: question $((number + 1))" 30 not_accepted
    fi
done
press space
step "$window" "Space on «Выход»: «Покажите результат учителю»" 30 notice_focused
press Return
step "$window" "Enter closes the notice" 30 notice_closed
press space
step "$window" "Space on «Выход»: the program ends" 30 ended "$program"
status=0
wait "$program" || status=$?
[ "$status" -eq 0 ] || fail "the program ended with status $status: $(tail -n 5 "$work/program.out")"
grep -q 'using xkb compose input context' "$work/program.out" ||
    fail "the program has no compose-key input: $(tail -n 5 "$work/program.out")"
! grep -q 'failed to create compose' "$work/program.out" || fail "$(grep 'failed to create compose' "$work/program.out")"
say "a whole test by keyboard under the Russian layout, with compose-key input, ended with status 0"
session_end

if [ "$release" = 11 ]; then
    say "Orca $(dpkg-query -W -f='${Version}' orca) listens to the installed program"
    bash tests/orca-listens.sh /usr/bin/znaydar || fail "Orca did not hear the test whole"
    # Every library the .rpm asks for, and every version of it, is here.
    while read -r requirement; do
        [[ "$requirement" =~ ^(lib[^\(]+)\(([^\)]*)\)\(64bit\)$ ]] || continue
        soname=${BASH_REMATCH[1]} tag=${BASH_REMATCH[2]}
        path=$(ldconfig -p | awk -v soname="$soname" '$1 == soname && /x86-64/ && !found { print $NF; found = 1 }')
        [ -n "$path" ] || fail "the .rpm requires $soname, which Debian 11's desktop does not have"
        [ -z "$tag" ] || grep -aqF "$tag" "$path" || fail "the .rpm requires $soname with $tag, which Debian 11's $path lacks"
    done <requires
    say "every soname the .rpm requires is here"
fi
say "PASS"
