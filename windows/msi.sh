#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the MSI from the .wxs that CMake wrote, with Debian's wixl and msibuild (msitools):
#   msi.sh ZNAYDAR.WXS FILES VERSION OUT.msi
# FILES is the folder `cmake --install` made (znaydar.exe, licences/).
#
# wixl 0.101 writes every non-ASCII text as an empty string: it leaves the database's code
# page at 0 whatever the .wxs asks. So each such text is first replaced by an ASCII token,
# the database is built, its code page is set to 1251 (Cyrillic), and every table that holds
# a token is exported, given its Russian text back and imported again; msibuild then stores
# the text in the database's code page, where Windows Installer reads it.
set -euo pipefail
[ $# -eq 4 ] || { echo "usage: msi.sh ZNAYDAR.WXS FILES VERSION OUT.msi" >&2; exit 2; }
wxs=$1 files=$(cd "$2" && pwd) version=$3 out=$4
work=$(mktemp -d "${TMPDIR:-/tmp}/msi.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The licence files, whatever `cmake --install` put there, one File element each.
licences=$(cd "$files/licences" && n=0 && for file in *; do
    n=$((n + 1))
    printf '              <File Id="licence%d" Source="files/licences/%s"/>\n' "$n" "$file"
done)
[ -n "$licences" ] || { echo "msi.sh: no licence files in $files/licences" >&2; exit 1; }

# Non-ASCII attribute values become ZNAYDARTEXT01Z…; the tokens and their texts go to texts.tsv.
LICENCES=$licences perl -CSD -e '
    my $n = 0;
    open(my $texts, ">", "$ARGV[1]") or die;
    open(my $in, "<", "$ARGV[0]") or die;
    while (<$in>) {
        s{^.*<!-- the licence files.*\n}{$ENV{LICENCES}\n};
        s{(\w+)="([^"]*[^\x00-\x7f][^"]*)"}{
            my ($attribute, $text, $token) = ($1, $2, sprintf("ZNAYDARTEXT%02dZ", ++$n));
            my %entity = (quot => "\"", apos => "\x27", lt => "<", gt => ">", amp => "&");
            $text =~ s{&(quot|apos|lt|gt|amp);}{$entity{$1}}g;
            print $texts "$token\t$text\n";
            "$attribute=\"$token\""
        }ge;
        print;
    }' "$wxs" "$work/texts.tsv" >"$work/ascii.wxs"

# wixl takes no absolute paths: the files are reached through a link.
ln -s "$files" "$work/files"
(cd "$work" && wixl -a x64 -D "Version=$version" -o out.msi ascii.wxs) 2>"$work/wixl.log" ||
    { cat "$work/wixl.log" >&2; exit 1; }
# wixl warns of attributes it does not know; anything else it says is worth reading.
grep -v -e 'has no property named' -e '^$' "$work/wixl.log" >&2 || true

cd "$work"
printf '\r\n\r\n1251\t_ForceCodepage\r\n' >_ForceCodepage.idt
msibuild out.msi -i _ForceCodepage.idt
for table in $(msiinfo tables out.msi); do
    case $table in _*) continue ;; esac
    msiinfo export out.msi "$table" >"$table.idt"
    grep -q 'ZNAYDARTEXT[0-9]*Z' "$table.idt" || continue
    perl -CSD -i -e '
        open(my $texts, "<", shift) or die;
        my %text = map { chomp; split /\t/, $_, 2 } <$texts>;
        while (<>) { s{(ZNAYDARTEXT\d+Z)}{$text{$1}}g; print }' texts.tsv "$table.idt"
    msibuild out.msi -i "$table.idt"
done
if msiinfo export out.msi Property | grep -q 'ZNAYDARTEXT'; then
    echo "msi.sh: a Russian text was not put back" >&2
    exit 1
fi

# wixl knows no AllowSameVersionUpgrades: without it, an MSI of the same version built again
# (a new ProductCode) would install beside the old one. 512 makes the upper bound of the
# older versions it removes inclusive; Attributes is part of the table's key, so the table
# goes out and in again rather than through UPDATE.
msiinfo export out.msi Upgrade | awk -F '\t' -v OFS='\t' '$7 == "WIX_UPGRADE_DETECTED\r" { $5 = 513 } { print }' >Upgrade.idt
grep -q '	513	' Upgrade.idt || { echo "msi.sh: no upgrade of older versions in the Upgrade table" >&2; exit 1; }
msibuild out.msi -i Upgrade.idt
# Nor does it know Package/@Languages: the package is Russian, not US English.
summary=$(msiinfo suminfo out.msi)
msibuild out.msi -s "$(sed -n 's/^Subject: //p' <<<"$summary")" "$(sed -n 's/^Author: //p' <<<"$summary")" 'x64;1049'
cd - >/dev/null
mv "$work/out.msi" "$out"
