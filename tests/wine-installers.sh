#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The installers under Wine, the NSIS one and the MSI, in a prefix set to report Windows 10:
# each installed silently, its files, Start menu entry and Apps and Features entry checked,
# the program started from Program Files; a higher version installed over it while the
# program runs; then removed silently, leaving nothing behind. Where the Windows they need
# begins is tests/wine-windows-floor.sh.
#   wine-installers.sh BUILD_DIR
# BUILD_DIR is the Windows build after its installer target: dist/ and product.env.
set -euo pipefail
here=$(dirname "$0")
. "$here/session.sh"
. "$here/wine.sh"
. "$here/installed.sh"
session_name=wine-installers
say() { session_say "$@"; }
fail() { session_fail "$@"; }
installers_begin wine-installers 1100 "$@"
# A higher version, built here from the same files with the version raised.
raised=${version%.*}.$((${version##*.} + 1))

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
say "PASS: the NSIS installer and the MSI under $("$wine" --version)"
