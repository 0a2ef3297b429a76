#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Where the Windows the installers need begins, under Wine: Windows 10 1809 (build 17763) at
# its edge. Both installers refused, silently and with their message, on a prefix that
# reports Windows 10 1803 (build 17134), and both installed on one that reports 1809 (17763).
# Then both refused on a prefix set to report Windows 7.
#   wine-windows-floor.sh BUILD_DIR
# BUILD_DIR is the Windows build after its installer target: dist/ and product.env.
set -euo pipefail
here=$(dirname "$0")
. "$here/session.sh"
. "$here/wine.sh"
. "$here/installed.sh"
session_name=wine-windows-floor
say() { session_say "$@"; }
fail() { session_fail "$@"; }
installers_begin wine-windows-floor 500 "$@"

# Wine takes the version it reports from the registry, where Windows keeps it and winecfg -v
# win10 writes it: CurrentMajorVersionNumber and CurrentMinorVersionNumber (10.0), and the
# build from CurrentBuildNumber. The build is set there as Windows has it, and what each
# installer's check reads is looked at too, so that the test really stands at the edge: the
# NSIS one through a probe built with the same version macros (WinVer.nsh), the MSI as its
# log records the property its launch condition compares.
cat >"$work/probe.nsi" <<'PROBE'
Unicode true
Target amd64-unicode
!include "WinVer.nsh"
OutFile "${OUTFILE}"
SilentInstall silent
RequestExecutionLevel user
Section
    ${WinVerGetMajor} $0
    ${WinVerGetMinor} $1
    ${WinVerGetBuild} $2
    FileOpen $3 "$EXEDIR\version.txt" w
    FileWrite $3 "$0.$1.$2"
    FileClose $3
SectionEnd
PROBE
makensis -V2 -DOUTFILE="$work/probe.exe" "$work/probe.nsi" >"$work/probe.log" 2>&1 || fail "makensis (probe): $(cat "$work/probe.log")"
windows10() {
    local build=$1 release=$2 key='HKLM\Software\Microsoft\Windows NT\CurrentVersion' value seen
    for value in "CurrentBuild=$build" "CurrentBuildNumber=$build" "ReleaseId=$release"; do
        "$wine" reg add "$key" /v "${value%%=*}" /t REG_SZ /d "${value#*=}" /f >/dev/null 2>&1 ||
            fail "the registry's ${value%%=*} cannot be set"
    done
    wine_wait
    rm -f "$work/version.txt"
    "$wine" "$work/probe.exe" || fail "the version probe ended with status $?"
    wine_wait
    seen=$(cat "$work/version.txt" 2>/dev/null)
    [ "$seen" = "10.0.$build" ] ||
        fail "the prefix set to report Windows 10 $release (build $build): the NSIS installer's check reads «$seen»"
}
# The build the MSI's launch condition compared, from its log.
msi_saw() { tr -d '\0\r' <"$1" | sed -n 's/^Property(S): WINDOWSBUILD = //p'; }
# An installer double-clicked by a teacher on a machine it refuses: it shows its message, and
# Enter closes it. The text is read from Wine's own record of the message box it draws.
#   refused_with_message WHAT STATUS COMMAND...
refused_with_message() {
    local what=$1 expected=$2 trace=$work/message.log box text status=0
    shift 2
    session_spawn "$trace" env WINEDEBUG=-all,trace+msgbox "$wine" "$@"
    local installer_pid=$spawned
    within 60 grep -qs 'trace:msgbox:MSGBOX_OnInit' "$trace" || fail "$what: no message within 60 s"
    text=$(sed -n 's/.*trace:msgbox:MSGBOX_OnInit L"\(.*\)".*/\1/p' "$trace" | head -n 1 |
        perl -CS -pe 's/\\([0-9a-f]{4})/chr(hex($1))/ge')
    [[ $text == "Программе «$name» нужна 64-битная Windows 10 версии 1809"* ]] ||
        fail "$what: the message says «$text», not that Windows 10 1809 or later is needed"
    box=$(timeout 30 xdotool search --sync --onlyvisible --name '.' 2>/dev/null | head -n 1) ||
        fail "$what: the message's window cannot be found"
    # Keys go to the window under the pointer until Wine gives its window the X focus.
    xdotool mousemove --window "$box" 10 10
    press Return
    wait "$installer_pid" || status=$?
    wine_wait
    [ "$status" -eq $((expected % 256)) ] ||
        fail "$what: after its message the installer ended with status $status, not $expected ($((expected % 256)))"
    [ ! -e "$unix_files" ] || fail "$what: installed"
    # Wine's record of it stops after some eighty characters.
    say "   $what: «$text…», then status $expected"
}

say "Windows 10 1803 (build 17134), a build below the floor: both installers refuse"
windows10 17134 1803
status=0
"$wine" "$nsis" /S || status=$?
wine_wait
[ "$status" -eq $((1150 % 256)) ] ||
    fail "on Windows 10 1803 the NSIS installer ended with status $status, not 1150 (126): a pupil there would get a program that stops at launch with a loader error"
[ ! -e "$unix_files" ] || fail "on Windows 10 1803 the NSIS installer installed"
status=0
"$wine" msiexec /i "$(win_path "$msi_file")" /qn /l*v 'C:\msi-17134.log' >/dev/null 2>&1 || status=$?
wine_wait
[ "$(msi_saw "$WINEPREFIX/drive_c/msi-17134.log")" = 17134 ] ||
    fail "the prefix set to report build 17134: the MSI's condition compared «$(msi_saw "$WINEPREFIX/drive_c/msi-17134.log")»"
[ "$status" -eq $((1603 % 256)) ] ||
    fail "on Windows 10 1803 msiexec ended with status $status, not 1603 (67): a pupil there would get a program that stops at launch with a loader error"
[ ! -e "$unix_files" ] || fail "on Windows 10 1803 the MSI installed"
say "   silently: NSIS status 1150, MSI status 1603, nothing installed; both read build 17134"
refused_with_message "on Windows 10 1803, the NSIS installer double-clicked" 1150 "$nsis"
refused_with_message "on Windows 10 1803, the MSI double-clicked" 1603 msiexec /i "$(win_path "$msi_file")"

say "Windows 10 1809 (build 17763), the floor itself: both installers install"
windows10 17763 1809
"$wine" "$nsis" /S || fail "on Windows 10 1809 the NSIS installer ended with status $?, not 0"
wine_wait
check_files "NSIS on Windows 10 1809"
"$wine" "$unix_files/uninstall.exe" /S || fail "the uninstaller ended with status $?"
wine_wait
check_removed "NSIS on Windows 10 1809"
status=0
"$wine" msiexec /i "$(win_path "$msi_file")" /qn /l*v 'C:\msi-17763.log' >/dev/null 2>&1 || status=$?
wine_wait
[ "$(msi_saw "$WINEPREFIX/drive_c/msi-17763.log")" = 17763 ] ||
    fail "the prefix set to report build 17763: the MSI's condition compared «$(msi_saw "$WINEPREFIX/drive_c/msi-17763.log")»"
[ "$status" -eq 0 ] || fail "on Windows 10 1809 msiexec /i /qn ended with status $status, not 0"
check_files "MSI on Windows 10 1809"
"$wine" msiexec /x "$(win_path "$msi_file")" /qn >/dev/null 2>&1 || fail "msiexec /x /qn ended with status $?"
wine_wait
check_removed "MSI on Windows 10 1809"
say "   both installed, both reading build 17763, and removed"

say "on Windows 7, both installers refuse"
"$wine" winecfg -v win7 || fail "winecfg -v win7 ended with status $?"
wine_wait
status=0
"$wine" "$nsis" /S || status=$?
wine_wait
# 1150: ERROR_OLD_WIN_VERSION, what the installer ends with after its message. Wine hands
# the shell only the status's low byte: 1150 arrives as 126.
[ "$status" -eq $((1150 % 256)) ] || fail "on Windows 7 the NSIS installer ended with status $status, not 1150 (126)"
[ ! -e "$unix_files" ] || fail "on Windows 7 the NSIS installer installed"
status=0
"$wine" msiexec /i "$(win_path "$msi_file")" /qn >/dev/null 2>&1 || status=$?
wine_wait
# 1603: the installation failed (its launch condition); 67 after Wine's low byte.
[ "$status" -eq $((1603 % 256)) ] || fail "on Windows 7 msiexec ended with status $status, not 1603 (67)"
[ ! -e "$unix_files" ] || fail "on Windows 7 the MSI installed"
say "   NSIS: status 1150, MSI: status 1603, and nothing installed"
say "PASS: both installers at the Windows 10 1809 floor and on Windows 7 under $("$wine" --version)"
