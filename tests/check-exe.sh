#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Looks inside znaydar.exe the way Windows will: a 64-bit program with a window and no
# console, that loads only DLLs every Windows 10 and 11 has (a MinGW runtime or Qt DLL
# left out of the static link would stop it on a teacher's machine), and that carries its
# icon and the version information Explorer shows.
#   check-exe.sh znaydar.exe
set -euo pipefail
exe=$1
failures=0
fail() {
    echo "check-exe: FAIL: $*" >&2
    failures=$((failures + 1))
}
objdump=x86_64-w64-mingw32-objdump
headers=$("$objdump" -p "$exe")
grep -q 'file format pei-x86-64' <<<"$headers" || fail "not a 64-bit Windows program"
grep -Eq '^Subsystem[[:space:]]+00000002' <<<"$headers" || fail "not a windowed (GUI subsystem) program"

# Windows's own DLLs, and the API sets it resolves itself.
system_dlls='advapi32|authz|comdlg32|d3d9|d3d11|dwmapi|dwrite|dxgi|gdi32|imm32|kernel32|msvcrt|netapi32|ole32|oleaut32|setupapi|shcore|shell32|shlwapi|user32|userenv|uxtheme|version|winmm|ws2_32|wtsapi32|api-ms-win-[a-z0-9-]+'
while read -r dll; do
    [[ "${dll,,}" =~ ^($system_dlls)\.dll$ ]] || fail "needs $dll, which Windows does not have"
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")

resources=$(wrestool -l "$exe")
grep -q 'type=group_icon' <<<"$resources" || fail "no icon"
# The version block is UTF-16, its strings aligned on whole characters.
version=$(wrestool -x --raw --type=version "$exe" | iconv -f UTF-16LE -t UTF-8 -c | tr '\0' '\n')
for field in ProductName FileDescription FileVersion LegalCopyright; do
    grep -aq "$field" <<<"$version" || fail "no $field in the version information"
done
grep -aqx 'Знайдар' <<<"$version" || fail "the product is not named «Знайдар»"
grep -aq 'GPL-3.0-or-later' <<<"$version" || fail "the licence is not named"

[ "$failures" -eq 0 ] || exit 1
echo "check-exe: $(basename "$exe"): 64-bit, windowed, Windows's own DLLs only, icon and version information"
