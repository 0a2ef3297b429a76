#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installers under Wine, the NSIS one and the MSI, in a prefix set to report Windows 10:
# each installed silently, its files, Start menu entry and Apps and Features entry checked,
# the program started from Program Files; a higher version installed over it while the
# program runs; then removed silently, leaving nothing behind. Then the floor at its edge:
# both refused, silently and with their message, on a prefix that reports Windows 10 1803
# (build 17134), and both installed on one that reports 1809 (17763). Then both refused on
# a prefix set to report Windows 7.
#   wine-installers.sh BUILD_DIR
# BUILD_DIR is the Windows build after its installer target: dist/ and product.env.
set -euo pipefail
here=$(dirname "$0")
. "$here/session.sh"
. "$here/wine.sh"
session_name=wine-installers
say() { session_say "$@"; }
fail() { session_fail "$@"; }
[ $# -eq 1 ] || fail "usage: wine-installers.sh BUILD_DIR"
build=$(cd "$1" && pwd)
session_product "$build" || fail "no product.env in $build"
[ -s "$build/$msi" ] || fail "no $build/$msi: build the installer target first"
session_require wrestool makensis msiinfo perl iconv
wine_begin wine-installers 1100
work=$wine_folder

# Both installers refuse Windows older than 10, and Wine 8 presents itself as Windows 7 unless
# told otherwise; a classroom machine is Windows 10 or 11.
"$wine" winecfg -v win10 || fail "winecfg -v win10 ended with status $?"
wine_wait
files="C:\\Program Files\\$name"
unix_files=$WINEPREFIX/drive_c/Program\ Files/$name
common_shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/$name.lnk
user_shortcut=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs)/$name.lnk
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# A higher version, built here from the same files with the version raised.
raised=${version%.*}.$((${version##*.} + 1))

# The Apps and Features entries named «$name», one `KEY|NAME=VALUE` a line, from an export of
# the Uninstall key (reg query prints Cyrillic through the console's code page as question
# marks; an export is UTF-16): strings unescaped, DWORDs in decimal, REG_EXPAND_SZ decoded.
entries() {
    rm -f "$WINEPREFIX/drive_c/uninstall.reg"
    "$wine" reg export "$uninstall" 'C:\uninstall.reg' /y >/dev/null 2>&1 || fail "the Uninstall key cannot be read"
    iconv -f UTF-16 -t UTF-8 "$WINEPREFIX/drive_c/uninstall.reg" | tr -d '\r' | perl -CSD -MEncode -ne '
        chomp;
        if (s/\\$//) { $line .= $_; next }
        $_ = $line . $_; $line = "";
        if (/^\[.*\\([^\\\]]+)\]$/) { $key = $1 }
        elsif (/^"([^"]+)"="(.*)"$/) { ($n, $v) = ($1, $2); $v =~ s/\\(.)/$1/g; $value{$key}{$n} = $v }
        elsif (/^"([^"]+)"=dword:([0-9a-f]+)$/) { $value{$key}{$1} = hex($2) }
        elsif (/^"([^"]+)"=hex\(2\):([0-9a-f, ]*)$/) {
            ($n, $v) = ($1, join("", map { chr(hex) } split /,\s*/, $2));
            $v = Encode::decode("UTF-16LE", $v); $v =~ s/\0+$//; $value{$key}{$n} = $v }
        END { for $k (sort keys %value) { next unless $value{$k}{DisplayName} eq Encode::decode("UTF-8", $ENV{NAME});
              print "$k|$_=$value{$k}{$_}\n" for sort keys %{$value{$k}} } }'
}
# Checks the one entry a technician and Apps and Features see, and leaves its values in $entry
# (NAME=VALUE lines) and its key's name in $entry_key.
entry=""
entry_key=""
check_entry() {
    local what=$1 expected_version=$2 all value
    all=$(NAME=$name entries)
    entry_key=$(cut -d'|' -f1 <<<"$all" | sort -u)
    [ -n "$entry_key" ] || fail "$what: no «$name» in Apps and Features"
    [ "$(wc -l <<<"$entry_key")" -eq 1 ] || fail "$what: more than one «$name» in Apps and Features: $entry_key"
    entry=$(cut -d'|' -f2- <<<"$all")
    for value in "DisplayName=$name" "DisplayVersion=$expected_version" "Publisher=$publisher"; do
        grep -qxF "$value" <<<"$entry" || fail "$what: the entry lacks $value: $entry"
    done
    # What a technician's script and Apps and Features run, and the icon it shows: the
    # commands are taken apart below when they are used.
    for value in UninstallString QuietUninstallString DisplayIcon InstallLocation EstimatedSize; do
        grep -q "^$value=." <<<"$entry" || fail "$what: the entry has no $value: $entry"
    done
    [ -s "$(unix_path "$(entry_value DisplayIcon)")" ] || fail "$what: the entry's icon, $(entry_value DisplayIcon), is not there"
    [ "$(unix_path "$(entry_value InstallLocation)")" -ef "$unix_files" ] ||
        fail "$what: the entry's InstallLocation is $(entry_value InstallLocation), not $files"
}
entry_value() { sed -n "s/^$1=//p" <<<"$entry"; }
# A file of ours as Windows names it (msiexec would take /work/… for an option).
win_path() { echo "Z:${1//\//\\}"; }
# C:\… as a path in the prefix.
unix_path() {
    local path=${1#[Cc]:\\}
    echo "$WINEPREFIX/drive_c/${path//\\//}"
}
# The program in Program Files is the one just built, with its licences.
check_files() {
    local file
    for file in znaydar.exe licences/LICENSE licences/LICENSE-OFL-1.1.txt; do
        cmp -s "$unix_files/$file" "$build/dist/files/$file" || fail "$1: not installed as built: $files\\$file"
    done
}
# Nothing left in Program Files, either Start menu or Apps and Features.
check_removed() {
    [ ! -e "$unix_files" ] || fail "$1: left behind: $(cd "$unix_files" && find . | head -n 5 | tr '\n' ' ')"
    [ ! -e "$common_shortcut" ] && [ ! -e "$user_shortcut" ] || fail "$1: the Start menu entry is left behind"
    [ -z "$(NAME=$name entries)" ] || fail "$1: «$name» is left in Apps and Features"
    say "   $1: nothing left in Program Files, the Start menu or Apps and Features"
}
# Starts the installed program and, while it runs, installs over it; a copy a pupil left
# open must be closed (on Windows its locked file could not be replaced) and the install
# finish. Wine locks no running file, so the installed copy is first made stale, to see it
# replaced.
install_over_running() {
    local what=$1
    shift
    wine_launch "$unix_files/znaydar.exe" "$what"
    echo stale >"$unix_files/licences/LICENSE"
    timeout 120 "$wine" "$@" || fail "$what: the install over the running program ended with status $? (124: not within 120 s)"
    wine_wait
    ended "$window" "$program" || fail "$what: the running program was not closed"
    wait "$program" || true
    check_files "$what"
}

say "the NSIS installer, silently"
nsis=$build/$installer
# Writing to Program Files and HKLM needs an administrator: Windows asks for one only if the
# installer's own manifest requires it. Wine runs everything as one, so the manifest is read.
wrestool -x --raw --type=24 "$nsis" | tr -d '\0' | grep -q 'requestedExecutionLevel level="requireAdministrator"' ||
    fail "the NSIS installer's manifest does not ask Windows for an administrator"
"$wine" "$nsis" /S || fail "the installer ended with status $?"
wine_wait
check_files "NSIS install"
[ -s "$unix_files/uninstall.exe" ] || fail "no uninstaller in $files"
[ -s "$common_shortcut" ] || fail "no «$name» in the Start menu for all users"
check_entry "NSIS install" "$version"
for value in "UninstallString=\"$files\\uninstall.exe\"" "QuietUninstallString=\"$files\\uninstall.exe\" /S" \
    "InstallLocation=$files" "DisplayIcon=$files\\znaydar.exe"; do
    grep -qxF "$value" <<<"$entry" || fail "NSIS install: the entry lacks $value: $entry"
done
# EstimatedSize is in KiB: at least the program itself.
[ "$(entry_value EstimatedSize)" -ge "$(($(stat -c %s "$build/$exe") / 1024))" ] ||
    fail "NSIS install: EstimatedSize $(entry_value EstimatedSize) KiB is less than the program"
[ "$entry_key" = "$uninstall_key" ] || fail "NSIS install: the entry is under $entry_key, not $uninstall_key"
say "   installed: $files, its Start menu entry, its entry in Apps and Features"
wine_launch "$unix_files/znaydar.exe" installed
wine_quit installed
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$raised" -DOUTFILE="$work/znaydar-$raised-setup.exe" \
    "$build/windows/installer.nsi" >"$work/makensis.log" 2>&1 || fail "makensis: $(cat "$work/makensis.log")"
install_over_running "NSIS $raised over $version" "$work/znaydar-$raised-setup.exe" /S
check_entry "NSIS $raised over $version" "$raised"
say "   $raised installed over $version while it ran: the program closed, one entry, version $raised"
# The MSI over the NSIS copy is refused: the two would share one folder under two entries.
status=0
"$wine" msiexec /i "$(win_path "$build/$msi")" /qn >/dev/null 2>&1 || status=$?
wine_wait
[ "$status" -eq $((1603 % 256)) ] || fail "the MSI over the NSIS copy ended with status $status, not 1603 (67)"
check_entry "the MSI over the NSIS copy" "$raised"
[ "$entry_key" = "$uninstall_key" ] || fail "the MSI over the NSIS copy: the entry is $entry_key, not the NSIS one"
check_files "the MSI over the NSIS copy"
say "   the MSI over it: refused (1603), the NSIS copy as it was"
# Removed as a technician's script does: by the entry's QuietUninstallString. The uninstaller
# copies itself away and goes on from there, so it is waited for through the Wine server,
# which ends when the last program in the prefix has.
quiet=$(entry_value QuietUninstallString)
[[ $quiet =~ ^\"([^\"]+)\"\ (.*)$ ]] || fail "NSIS: QuietUninstallString is not a quoted program with arguments: $quiet"
"$wine" "$(unix_path "${BASH_REMATCH[1]}")" ${BASH_REMATCH[2]} || fail "the uninstaller ended with status $?"
wine_wait
check_removed "NSIS uninstall"

say "the MSI, silently"
msi_file=$build/$msi
# Every name a person sees is Russian and not empty in the tables themselves.
[ "$(msiinfo export "$msi_file" Property | tr -d '\r' | sed -n 's/^ProductName\t//p')" = "$name" ] ||
    fail "MSI: ProductName is not «$name» in the Property table"
[ "$(msiinfo export "$msi_file" Property | tr -d '\r' | sed -n 's/^UpgradeCode\t//p')" = "{$upgrade_code}" ] ||
    fail "MSI: the UpgradeCode is not {$upgrade_code}"
msiinfo export "$msi_file" Shortcut | tr -d '\r' | grep -q "	$name	" || fail "MSI: no shortcut «$name» in the Shortcut table"
msiinfo export "$msi_file" Directory | tr -d '\r' | grep -qx "INSTALLDIR	ProgramFiles64Folder	$name" ||
    fail "MSI: it does not install into Program Files\\$name"
msiinfo export "$msi_file" LaunchCondition | tr -d '\r' | grep -q 'Windows 10' || fail "MSI: no refusal of old Windows"
"$wine" msiexec /i "$(win_path "$msi_file")" /qn >/dev/null 2>&1 || fail "msiexec /i /qn ended with status $?"
wine_wait
check_files "MSI install"
# Windows puts a per-machine product's shortcut in the Start menu for all users; Wine 8's
# Windows Installer puts it in the user's, so either counts here.
[ -s "$common_shortcut" ] || [ -s "$user_shortcut" ] || fail "MSI install: no «$name» in the Start menu"
check_entry "MSI install" "$version"
[[ $entry_key =~ ^\{[0-9A-F-]{36}\}$ ]] || fail "MSI install: the entry is under $entry_key, not a ProductCode"
# Windows Installer writes the UninstallString itself (Wine's: MsiExec.exe /X{…}).
grep -Eqx "UninstallString=MsiExec.exe /[IX]\\$entry_key" <<<"$entry" || fail "MSI install: its UninstallString is not msiexec's: $entry"
for value in "QuietUninstallString=MsiExec.exe /X$entry_key /qn" "DisplayIcon=$files\\znaydar.exe"; do
    grep -qxF "$value" <<<"$entry" || fail "MSI install: the entry lacks $value: $entry"
done
say "   installed: $files, its Start menu entry, its entry in Apps and Features"
wine_launch "$unix_files/znaydar.exe" msi-installed
wine_quit msi-installed
# The same version built again has a ProductCode of its own: it must still replace the copy.
first_key=$entry_key
bash "$here/../windows/msi.sh" "$build/windows/znaydar.wxs" "$build/dist/files" "$version" \
    "$work/znaydar-$version-again.msi" 2>"$work/msi.log" || fail "the MSI of $version again: $(cat "$work/msi.log")"
"$wine" msiexec /i "$(win_path "$work/znaydar-$version-again.msi")" /qn >/dev/null 2>&1 ||
    fail "msiexec /i /qn of $version again ended with status $?"
wine_wait
check_entry "MSI $version again" "$version"
[ "$entry_key" != "$first_key" ] || fail "MSI $version again: still the first build's entry $first_key"
check_files "MSI $version again"
say "   the same version built again installed over it: one entry, the new build's"
bash "$here/../windows/msi.sh" "$build/windows/znaydar.wxs" "$build/dist/files" "$raised" \
    "$work/znaydar-$raised.msi" 2>"$work/msi.log" || fail "the MSI of $raised: $(cat "$work/msi.log")"
install_over_running "MSI $raised over $version" msiexec /i "$(win_path "$work/znaydar-$raised.msi")" /qn
check_entry "MSI $raised over $version" "$raised"
say "   $raised installed over $version while it ran: the program closed, one entry, version $raised"
"$wine" msiexec /x "$(win_path "$work/znaydar-$raised.msi")" /qn >/dev/null 2>&1 || fail "msiexec /x /qn ended with status $?"
wine_wait
check_removed "MSI removal"
# The NSIS installer over the MSI's copy removes that first: one copy, one entry, its own.
"$wine" msiexec /i "$(win_path "$msi_file")" /qn >/dev/null 2>&1 || fail "msiexec /i /qn ended with status $?"
wine_wait
"$wine" "$nsis" /S || fail "the NSIS installer over the MSI's copy ended with status $?"
wine_wait
check_entry "NSIS over the MSI's copy" "$version"
[ "$entry_key" = "$uninstall_key" ] || fail "NSIS over the MSI's copy: the entry left is $entry_key, not the NSIS one"
check_files "NSIS over the MSI's copy"
say "   the NSIS installer over the MSI's copy: that removed, one entry, the NSIS one"
"$wine" "$unix_files/uninstall.exe" /S || fail "the uninstaller ended with status $?"
wine_wait
check_removed "NSIS uninstall"

# --- the floor, Windows 10 1809 (build 17763), at its edge -------------------------------------
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
say "PASS: the NSIS installer and the MSI under $("$wine" --version)"
