#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Looks inside znaydar.exe the way Windows will: a 64-bit program with a window and no
# console, that loads only DLLs every Windows 10 and 11 has (a MinGW runtime or Qt DLL
# left out of the static link would stop it on a teacher's machine), and that carries its
# icon and the version information Explorer shows, with the project's version and name.
# No Wine is needed for it.
#   check-exe.sh BUILD_DIR
# BUILD_DIR is the Windows build after its installer target: the program as it ships,
# dist/znaydar.exe, and the name, version and licence CMake gave it, in product.env.
set -euo pipefail
[ $# -eq 1 ] && [ -f "$1/product.env" ] || { echo "usage: check-exe.sh BUILD_DIR" >&2; exit 2; }
IFS=$'\t' read -r exe name project_version licence < <(. "$1/product.env" && printf '%s\t%s\t%s\t%s\n' "$1/$exe" "$name" "$version" "$licence")
[ -s "$exe" ] || { echo "check-exe: FAIL: no $exe: build the installer target first" >&2; exit 1; }
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

# The functions it imports that Windows 7 lacks, with the first Windows build that has them
# (Microsoft's documented minimum): why the program needs Windows 10 1809 and the installers
# refuse anything older. The later ones are those a Qt, MinGW or C++ runtime update is
# likeliest to start importing; any of them would stop the program on a Windows 10 1809
# before the loader ran a line of it. A function named nowhere here is not judged.
newer_than_windows_7='
    9200 WaitOnAddress WakeByAddressAll WakeByAddressSingle RoGetActivationFactory
    9200 WindowsCreateStringReference GetPointerType GetPointerInfo GetPointerFrameTouchInfo
    9200 GetPointerFrameTouchInfoHistory GetPointerPenInfo GetPointerPenInfoHistory
    9200 SkipPointerFrameMessages GetSystemTimePreciseAsFileTime CreateFile2 CopyFile2
    9200 GetCurrentThreadStackLimits InitializeSynchronizationBarrier SetThreadInformation
    9600 GetDpiForMonitor GetProcessDpiAwareness SetProcessDpiAwareness CreateDXGIFactory2
    9600 OfferVirtualMemory DiscardVirtualMemory
    14393 AdjustWindowRectExForDpi EnableNonClientDpiScaling GetAwarenessFromDpiAwarenessContext
    14393 GetDpiForWindow GetDpiForSystem GetSystemMetricsForDpi GetWindowDpiAwarenessContext
    14393 SystemParametersInfoForDpi SetThreadDpiAwarenessContext GetThreadDpiAwarenessContext
    14393 AreDpiAwarenessContextsEqual IsValidDpiAwarenessContext SetThreadDescription GetThreadDescription
    15063 SetProcessDpiAwarenessContext OpenThemeDataForDpi
    17134 GetDpiFromDpiAwarenessContext GetSystemDpiForProcess VirtualAlloc2 MapViewOfFile3
    18362 GetCurrentPackageInfo2 GetPackageInfo2
    19041 SetProcessDynamicEHContinuationTargets SetProcessDynamicEnforcedCetCompatibleRanges
    20348 GetTempPath2A GetTempPath2W
    22000 GetMachineTypeAttributes SetThreadSelectedCpuSetMasks GetThreadSelectedCpuSetMasks
    22000 SetProcessDefaultCpuSetMasks GetProcessDefaultCpuSetMasks CreateFile3
    26100 GetFileInformationByName'
imports=$(awk '/DLL Name:/ { dll = $3 } /^\t[0-9a-f]+\t *[0-9]+ +[A-Za-z_]/ { print $3 }' <<<"$headers")
needs=$(awk 'NR == FNR { for (i = 2; i <= NF; i++) build[$i] = $1; next }
             $1 in build { print build[$1], $1 }' <(echo "$newer_than_windows_7") - <<<"$imports" | sort -n | uniq)
[ -n "$imports" ] || fail "no imported functions could be read"
beyond_1809=$(awk '$1 > 17763 { print $2 " (build " $1 ")" }' <<<"$needs")
[ -z "$beyond_1809" ] || fail "imports that Windows 10 1809 (build 17763) lacks: $(echo $beyond_1809)"
newest=$(tail -n 1 <<<"$needs")

resources=$(wrestool -l "$exe")
grep -q 'type=group_icon' <<<"$resources" || fail "no icon"
# The version block is UTF-16, its strings aligned on whole characters.
version=$(wrestool -x --raw --type=version "$exe" | iconv -f UTF-16LE -t UTF-8 -c | tr '\0' '\n')
for field in ProductName FileDescription FileVersion LegalCopyright; do
    grep -aq "$field" <<<"$version" || fail "no $field in the version information"
done
grep -aqx "$name" <<<"$version" || fail "the product is not named «$name»"
grep -aq "$licence" <<<"$version" || fail "the licence is not named"

# What Explorer's Properties read: the binary FILEVERSION and PRODUCTVERSION of the fixed
# part (its Details tab, and Windows Installer when it compares versions), and the strings
# of the one table that the Translation entry names. A Translation that names another
# language or code page than the table's makes Explorer look for strings that are not there.
# Each block of VS_VERSIONINFO: length, value length, type, a UTF-16 key, then its value and
# its children, each on a 4-byte boundary.
info=$(wrestool -x --raw --type=version "$exe" | perl -CO -MEncode -0777 -ne '
    my $d = $_;
    sub align { ($_[0] + 3) & ~3 }
    sub block {
        my ($at, $path) = @_;
        my ($length, $value_length, $type) = unpack("v3", substr($d, $at, 6));
        my $end = index($d, "\0\0", $at + 6);
        $end++ while ($end - $at) % 2;
        my $key = decode("UTF-16LE", substr($d, $at + 6, $end - $at - 6));
        my $value_at = align($end + 2);
        my $value = substr($d, $value_at, $type ? 2 * $value_length : $value_length);
        if ($key eq "VS_VERSION_INFO") {
            my @f = unpack("V5", $value);
            printf "signature %08x\n", $f[0];
            printf "FILEVERSION %d.%d.%d.%d\n", $f[2] >> 16, $f[2] & 0xffff, $f[3] >> 16, $f[3] & 0xffff;
            my @p = unpack("V2", substr($value, 16, 8));
            printf "PRODUCTVERSION %d.%d.%d.%d\n", $p[0] >> 16, $p[0] & 0xffff, $p[1] >> 16, $p[1] & 0xffff;
        } elsif ($path eq "StringFileInfo") {
            print "table \L$key\E\n";
        } elsif ($key eq "Translation") {
            printf "translation %04x%04x\n", unpack("v2", substr($value, 4 * $_, 4)) for 0 .. length($value) / 4 - 1;
        } elsif ($path =~ m{^StringFileInfo/}) {
            (my $text = decode("UTF-16LE", $value)) =~ s/\0+$//;
            print "string $key=$text\n";
        }
        my $child = align($value_at + length($value));
        while ($child < $at + $length) {
            my ($child_length) = unpack("v", substr($d, $child, 2));
            last unless $child_length;
            block($child, $path eq "" && $key eq "VS_VERSION_INFO" ? "" : $path eq "" ? $key : "$path/$key");
            $child = align($child + $child_length);
        }
    }
    block(0, "");')
grep -qx 'signature feef04bd' <<<"$info" || fail "the version information has no fixed part Windows reads: $info"
for field in FILEVERSION PRODUCTVERSION; do
    grep -qx "$field $project_version.0" <<<"$info" ||
        fail "the binary $field is $(sed -n "s/^$field //p" <<<"$info"), not $project_version.0: Explorer would show that"
done
tables=$(sed -n 's/^table //p' <<<"$info")
translations=$(sed -n 's/^translation //p' <<<"$info")
[ -n "$tables" ] && [ "$tables" = "$translations" ] ||
    fail "the Translation entry names ${translations:-nothing}, the strings are in ${tables:-no table}: Explorer would find no strings"
for value in "string ProductName=$name" "string FileVersion=$project_version" "string ProductVersion=$project_version"; do
    grep -qxF "$value" <<<"$info" || fail "the version strings lack ${value#string }"
done

[ "$failures" -eq 0 ] || exit 1
echo "check-exe: $(basename "$exe"): 64-bit, windowed, Windows's own DLLs only, icon, version $project_version in the version information ($tables)"
echo "check-exe: $(wc -l <<<"$imports") imported functions, $(wc -l <<<"$needs") of them newer than Windows 7; the newest: ${newest#* } (build ${newest%% *}); none beyond Windows 10 1809"
