# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced, after session.sh and wine.sh, by the installers' tests (wine-installers.sh and
# wine-windows-floor.sh): the installers as the build made them, a fresh prefix set to report
# Windows 10, and what an installed copy leaves there, read and checked.
#
#   installers_begin NAME SECONDS "$@"
#                           the script's one argument, the build (wine_build), and the
#                           installers from it (sets nsis, msi_file); wine_begin in a
#                           folder of its own (work), the prefix set to report Windows 10
#   check_files WHAT        Program Files holds the program as built, with its licences
#   check_entry WHAT VERSION
#                           the one «$name» in Apps and Features, of that version; leaves its
#                           values in $entry (read one with entry_value NAME) and its key's
#                           name in $entry_key
#   check_removed WHAT      nothing left in Program Files, either Start menu or Apps and
#                           Features
#   win_path FILE           a file of ours as Windows names it
#   unix_path 'C:\...'      that path in the prefix
# Uses the script's say and fail.

installers_begin() {
    local job=$1 seconds=$2
    shift 2
    wine_build "$job" "$@" msi
    session_require wrestool makensis msiinfo perl iconv
    wine_begin "$job" "$seconds"
    work=$wine_folder

    # Both installers refuse Windows older than 10, and Wine 8 presents itself as Windows 7
    # unless told otherwise; a classroom machine is Windows 10 or 11.
    "$wine" winecfg -v win10 || fail "winecfg -v win10 ended with status $?"
    wine_wait
    files="C:\\Program Files\\$name"
    unix_files=$WINEPREFIX/drive_c/Program\ Files/$name
    common_shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/$name.lnk
    user_shortcut=$(echo "$WINEPREFIX"/drive_c/users/*/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs)/$name.lnk
    uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
    nsis=$build/$installer
    msi_file=$build/$msi
}

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
