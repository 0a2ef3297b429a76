#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Looks inside the self-contained Linux program the way the oldest system's loader will: a
# 64-bit program that asks the C library for nothing newer than glibc 2.28, carries its C++
# runtime, searches no folder of its own for libraries, and needs only libraries every X11
# desktop has (no Qt, no OpenGL, no GLib, no ICU, no image or text-shaping library of the
# system's). It must also carry what a static Qt leaves out unless asked: the X11 platform,
# the compose-key input, the JPEG reader, the screen-reader bridge (with D-Bus loaded when it
# starts), and the window's own font. Reads readelf and objdump output only: no Qt needed.
#   check-program.sh PROGRAM
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: $0 PROGRAM" >&2; exit 2; }
program=$1
failures=0
fail() {
    echo "check-program: FAIL: $*" >&2
    failures=$((failures + 1))
}
say() { echo "check-program: $*"; }

# The oldest systems it is for: Astra Linux 1.7 and RED OS 7.3 have glibc 2.28.
floor=2.28
# At most this many bytes, to copy and start from a USB stick.
largest=$((20 * 1024 * 1024))

readelf -h "$program" | grep -q 'Class:[[:space:]]*ELF64' || fail "not a 64-bit program"
readelf -h "$program" | grep -q 'Machine:[[:space:]]*Advanced Micro Devices X86-64' || fail "not an x86-64 program"
readelf -l "$program" | grep -q 'Requesting program interpreter: /lib64/ld-linux-x86-64.so.2' ||
    fail "not started by the usual loader /lib64/ld-linux-x86-64.so.2"
size=$(stat -c %s "$program")
[ "$size" -le "$largest" ] || fail "$size bytes, more than $largest"

dynamic=$(readelf -d "$program")
! grep -Eq '\((RPATH|RUNPATH)\)' <<<"$dynamic" ||
    fail "searches for libraries in: $(grep -E '\((RPATH|RUNPATH)\)' <<<"$dynamic" | sed 's/.*\[\(.*\)\]/\1/' | tr '\n' ' ')"

# Every library it names must be one an X11 desktop has: the C library's own, X11 and XCB
# with its extensions, XKB, fontconfig and FreeType, D-Bus, zlib, and the X extension
# libraries. Anything else (libstdc++, libgcc_s, libQt6*, libGL, libglib, libicu, libpng,
# libjpeg, libharfbuzz, ...) would stop it on some school's machine.
desktop='^(libc\.so\.6|libm\.so\.6|libpthread\.so\.0|libdl\.so\.2|librt\.so\.1|ld-linux-x86-64\.so\.2|libX11\.so\.6|libX11-xcb\.so\.1|libxcb\.so\.1|libxcb-[a-z0-9-]+\.so\.[0-9]+|libxkbcommon\.so\.0|libxkbcommon-x11\.so\.0|libfontconfig\.so\.1|libfreetype\.so\.6|libdbus-1\.so\.3|libz\.so\.1|libICE\.so\.6|libSM\.so\.6|libXext\.so\.6|libXrender\.so\.1|libXi\.so\.6|libexpat\.so\.1)$'
needed=$(sed -n 's/.*(NEEDED).*\[\(.*\)\]$/\1/p' <<<"$dynamic")
[ -n "$needed" ] || fail "names no library at all: not the dynamic program expected"
for library in $needed; do
    [[ "$library" =~ $desktop ]] || fail "needs $library, which not every X11 desktop has"
done
say "needs $(tr '\n' ' ' <<<"$needed")"

# Symbol by symbol: the versions of the C library's symbols it asks for. Versions of the
# C++ runtime (GLIBCXX_, CXXABI_) or GCC's support library (GCC_) mean they were not linked
# in.
symbols=$(objdump -T "$program")
versions=$(grep -oE '\b(GLIBC|GLIBCXX|CXXABI|GCC)_[0-9][0-9.]*' <<<"$symbols" | sort -u -t_ -k2,2V)
highest=$(grep '^GLIBC_' <<<"$versions" | sort -t_ -k2,2V | tail -n 1)
[ -n "$highest" ] || fail "asks for no versioned C library symbol: objdump -T read nothing"
for version in $(grep '^GLIBC_' <<<"$versions"); do
    if [ "$(printf '%s\n%s\n' "${version#GLIBC_}" "$floor" | sort -V | tail -n 1)" != "$floor" ]; then
        fail "asks for $version: $(grep -F "($version)" <<<"$symbols" | awk '{ print $NF }' | sort -u | tr '\n' ' ')"
    fi
done
for version in $(grep -E '^(GLIBCXX|CXXABI|GCC)_' <<<"$versions"); do
    fail "asks for $version from the system's C++ runtime: $(grep -F "($version)" <<<"$symbols" | awk '{ print $NF }' | sort -u | head -n 5 | tr '\n' ' ')"
done
say "the newest C library version it asks for: $highest (the floor is GLIBC_$floor)"

# What a static Qt carries only when asked, found by the names it registers them under.
carried() {
    local what=$1 text=$2
    grep -qaF -- "$text" "$program" || fail "does not carry $what (no \"$text\" inside)"
}
carried "the X11 platform" QXcbIntegrationPlugin
carried "the compose-key input" QComposePlatformInputContextPlugin
carried "the JPEG reader for its photograph" QJpegPlugin
carried "the screen-reader bridge" org.a11y.atspi.Accessible
carried "D-Bus, loaded when it starts" dbus_connection_open_private
carried "its own font (the name table of its Liberation Sans)" "Liberation is a trademark of Red Hat"

if [ "$failures" -ne 0 ]; then
    echo "check-program: $failures problem(s) in $program" >&2
    exit 1
fi
say "OK: $size bytes, glibc $floor or later, no C++ runtime, only X11 desktop libraries, no search path"
