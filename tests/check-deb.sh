#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Looks inside the Debian package without installing it: the files a desktop needs, the
# licences that must ship with the picture and the font, and dependencies that a Debian
# system can satisfy.
#
#   check-deb.sh BUILD_DIR               packs BUILD_DIR with `cpack -G DEB` (or $CPACK), then
#                                        checks it
#   check-deb.sh BUILD_DIR PACKAGE.deb   checks a package built from BUILD_DIR before
# The product's name and application id come from the build's product.env.
set -euo pipefail

usage() {
    echo "usage: $0 BUILD_DIR [PACKAGE.deb]" >&2
    exit 2
}
[ $# -ge 1 ] && [ $# -le 2 ] && [ -f "$1/product.env" ] || usage
build=$(cd "$1" && pwd)
. "$build/product.env"
# ImageMagick to read pictures, and a private X screen for the packaged program.
. "$(dirname "$0")/session.sh"
failures=0

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Each run packs and unpacks in a folder of its own, so parallel test runs never share files.
work=$(mktemp -d "${TMPDIR:-/tmp}/znaydar-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT

if [ $# -eq 1 ]; then
    [ -f "$build/CPackConfig.cmake" ] || {
        echo "FAIL: $build/CPackConfig.cmake is missing: is cmake/Packaging.cmake included?" >&2
        exit 1
    }
    if ! (cd "$build" && "${CPACK:-cpack}" --config CPackConfig.cmake -G DEB -B "$work/out") >"$work/cpack.log" 2>&1; then
        cat "$work/cpack.log" >&2
        echo "FAIL: cpack could not build the package" >&2
        exit 1
    fi
    debs=("$work"/out/*.deb)
    [ -f "${debs[0]}" ] || {
        cat "$work/cpack.log" >&2
        echo "FAIL: cpack made no .deb in $work/out" >&2
        exit 1
    }
    deb=${debs[0]}
elif [ -f "$2" ]; then
    deb=$2
else
    usage
fi
echo "checking $(basename "$deb")"

root=$work/root
dpkg-deb -x "$deb" "$root"

# --- control fields ---------------------------------------------------------------------
[ "$(dpkg-deb -f "$deb" Package)" = znaydar ] || fail "Package is not 'znaydar'"
arch=$(dpkg-deb -f "$deb" Architecture)
[ "$arch" = "$(dpkg --print-architecture)" ] ||
    fail "Architecture is '$arch', not this machine's $(dpkg --print-architecture)"

# Everything must land under /usr: a package that writes to /usr/local or /opt is not one a
# Debian system keeps track of properly.
outside=$(dpkg-deb -c "$deb" | awk '{ p = $6 } p != "./" && (p !~ /^\.\/usr\// || p ~ /^\.\/usr\/local\//) { print p }')
[ -z "$outside" ] || fail "files outside /usr or in /usr/local:" $outside

# --- files --------------------------------------------------------------------------------
expected=(
    usr/bin/znaydar
    "usr/share/applications/$app_id.desktop"
    "usr/share/metainfo/$app_id.metainfo.xml"
    "usr/share/icons/hicolor/16x16/apps/$app_id.png"
    "usr/share/icons/hicolor/32x32/apps/$app_id.png"
    "usr/share/icons/hicolor/48x48/apps/$app_id.png"
    "usr/share/icons/hicolor/64x64/apps/$app_id.png"
    "usr/share/icons/hicolor/128x128/apps/$app_id.png"
    "usr/share/icons/hicolor/256x256/apps/$app_id.png"
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg"
    usr/share/doc/znaydar/copyright
    usr/share/doc/znaydar/LICENSE
    usr/share/doc/znaydar/ATTRIBUTION.md
    usr/share/doc/znaydar/LICENSE-CC0-1.0.txt
    usr/share/doc/znaydar/LICENSE-GPL-2.txt
    usr/share/doc/znaydar/LICENSE-OFL-1.1.txt
)
for file in "${expected[@]}"; do
    [ -s "$root/$file" ] || fail "missing or empty: /$file"
done
[ ! -e "$root/usr/bin/znaydar" ] || [ -x "$root/usr/bin/znaydar" ] ||
    fail "/usr/bin/znaydar is not executable"

# The hicolor theme trusts the folder name for the size, so a wrong picture there would be
# scaled silently. ImageMagick reads each picture's size.
for png in "$root"/usr/share/icons/hicolor/*x*/apps/"$app_id".png; do
    [ -s "$png" ] || continue
    folder=$(basename "$(dirname "$(dirname "$png")")")
    size=$(magick_ "$png" -format '%wx%h' info: 2>/dev/null) || size="unreadable"
    [ "$size" = "$folder" ] || fail "the $folder icon is $size"
done

# --- desktop entry, icon and metainfo agree with each other -------------------------------
desktop=$root/usr/share/applications/$app_id.desktop
if [ -s "$desktop" ]; then
    exec_line=$(sed -n 's/^Exec=//p' "$desktop" | head -n 1)
    exec_cmd=${exec_line%% *}
    if [ -z "$exec_cmd" ]; then
        fail "the desktop entry has no Exec"
    elif [[ "$exec_cmd" == /* ]]; then
        [ -x "$root$exec_cmd" ] || fail "Exec=$exec_cmd is not a program in the package"
    else
        [ -x "$root/usr/bin/$exec_cmd" ] || fail "Exec=$exec_cmd is not a program in /usr/bin"
    fi
    icon=$(sed -n 's/^Icon=//p' "$desktop" | head -n 1)
    [ "$icon" = "$app_id" ] || fail "Icon=$icon does not name the installed icon $app_id"
    # A Russian menu says the program's own name.
    grep -qxF "Name[ru]=$name" "$desktop" || fail "the desktop entry has no Name[ru]=$name"
fi
metainfo=$root/usr/share/metainfo/$app_id.metainfo.xml
if [ -s "$metainfo" ]; then
    grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" ||
        fail "the metainfo does not launch $app_id.desktop"
    grep -qF "<name xml:lang=\"ru\">$name</name>" "$metainfo" || fail "the metainfo has no Russian name $name"
fi

# --- the running window finds its menu entry ----------------------------------------------
# A dock matches a window to its entry by the window's class on X11 (StartupWMClass), and on
# Wayland by the application id the program gives itself, which must be the entry's file
# name, case and all. The program carries the id as text (a UTF-16 copy of it reads the same
# without its zero bytes).
if [ -s "$desktop" ] && [ -x "$root/usr/bin/znaydar" ]; then
    named=$(tr -d '\000' <"$root/usr/bin/znaydar" | grep -cF "$app_id" || true)
    [ "$named" -gt 0 ] || fail "the program does not call itself $app_id, the name of its desktop entry"
fi
# The packaged program is started on a private X screen and its window asked for its class.
if [ -s "$desktop" ] && [ -x "$root/usr/bin/znaydar" ] && command -v Xvfb >/dev/null &&
    command -v xdotool >/dev/null && command -v xprop >/dev/null; then
    # In a subshell of its own: the session ends its X screen and the program when it ends,
    # and a window that never came fails this check alone.
    if ! wm_class=$(
        trap session_end EXIT
        session_begin check-deb 60 "$work"
        start_private_x
        session_spawn "$work/program.out" env QT_QPA_PLATFORM=xcb "$root/usr/bin/znaydar"
        find_window window "$name" >&2
        xprop -id "$window" WM_CLASS | sed -n 's/.*= "\(.*\)", "\(.*\)"$/\2/p'
    ); then
        fail "the packaged program showed no window «$name»: $(tail -n 3 "$work/program.out")"
    else
        entry_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
        [ "$wm_class" = "$entry_class" ] ||
            fail "the window's class is '$wm_class', the desktop entry's StartupWMClass '$entry_class'"
    fi
else
    echo "note: Xvfb, xdotool or xprop missing: the window's class is not matched to the desktop entry"
fi

# A library search path naming a folder (the build tree, /usr/local, /opt) would make the
# installed program load libraries from wherever it was built, or fail to start elsewhere.
# Paths relative to the binary ($ORIGIN) stay inside /usr and are harmless.
if command -v readelf >/dev/null && [ -x "$root/usr/bin/znaydar" ]; then
    searchpath=$(readelf -d "$root/usr/bin/znaydar" | sed -n 's/.*R\(UN\)\{0,1\}PATH.*\[\(.*\)\]$/\2/p')
    IFS=: read -r -a entries <<<"$searchpath"
    for entry in "${entries[@]}"; do
        [[ "$entry" == '$ORIGIN'* ]] || fail "/usr/bin/znaydar searches for libraries in $entry"
    done
fi

# --- dependencies ---------------------------------------------------------------------------
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(printf '%s\n' "$depends" | tr ',|' '\n\n' | sed -E 's/^ +//; s/[ (:].*$//' | grep -v '^$' || true)
# The self-contained program's package (scripts/linux.sh, ZNAYDAR_DEB_QT=carried) carries
# its Qt and asks for none.
if [ "${ZNAYDAR_DEB_QT:-}" = carried ]; then
    ! printf '%s\n' "$names" | grep -qi '^libqt' || fail "Depends asks for Qt, which the program carries"
else
    printf '%s\n' "$names" | grep -qx libqt6widgets6 || fail "Depends does not list libqt6widgets6"
fi
# dpkg-shlibdeps only names packages that dpkg itself knows; a name dpkg has never heard of
# came from somewhere else (a hand-built Qt, a library in /usr/local) and would not install.
for package in $names; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] ||
        fail "Depends names '$package', which is not a Debian package installed here"
done

# Debian 13 renamed the libraries whose ABI changed with 64-bit time (libqt6core6t64 and
# others); Debian 12 has none of them. A package that names one installs only on Debian 13
# and later, so the one for a room of mixed machines is built on Debian 12, and installs on
# both. On a Debian 13 build machine every package it makes names them: there
# ZNAYDAR_DEB_NEWER_ONLY=1 turns the failure into a note.
t64=$(printf '%s\n' "$names" | grep 't64$' || true)
if [ -n "$t64" ]; then
    if [ "${ZNAYDAR_DEB_NEWER_ONLY:-}" = 1 ]; then
        echo "note: Depends names" $t64 "- this package installs on Debian 13 and later only;" \
            "build on Debian 12 for a package that installs on Debian 12 and 13"
    else
        fail "Depends names" $t64 "(Debian 13 and later only): build the package on Debian 12"
    fi
fi

if [ "$failures" -ne 0 ]; then
    echo "$failures problem(s) in $(basename "$deb")" >&2
    exit 1
fi
echo "package OK"
