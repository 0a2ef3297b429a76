# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Sourced by the scripts that build a Qt of their own (windows.sh, linux.sh): Debian's own
# qt6-base source, the same version as this machine's qt6-base-dev, fetched once through a
# private apt sources file and lists folder (the machine's apt configuration is not touched),
# and unpacked with Debian's patches, then ours.
#
#   qt_version=$(qt_source_version)
#   qt_source_unpack CACHE VERSION FOLDER [PATCH...]
#       keeps the source package in CACHE/source, and unpacks it into FOLDER (which must
#       not exist yet) with the patches given applied in their order
#
# Needs packages.sh (debian_mirror) sourced first, and dpkg-dev, patch and xz-utils.

# The Debian version of the machine's qt6-base-dev, such as 6.4.2+dfsg-10.
qt_source_version() {
    dpkg-query -W -f='${Version}' qt6-base-dev
}

qt_source_unpack() {
    local cache=$1 version=$2 folder=$3 suite archive dsc patch
    shift 3
    dsc=$cache/source/qt6-base_${version#*:}.dsc
    if [ ! -f "$dsc" ]; then
        echo "== fetching Debian's qt6-base $version source"
        suite=$(. /etc/os-release && echo "$VERSION_CODENAME")
        archive=$(debian_mirror)
        mkdir -p "$cache/apt/lists/partial" "$cache/apt/cache/archives/partial" "$cache/source"
        echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive $suite main" \
            >"$cache/apt/sources.list"
        local apt=(apt-get -q -o "Dir::Etc::SourceList=$cache/apt/sources.list" -o Dir::Etc::SourceParts=/nonexistent
                   -o "Dir::State::Lists=$cache/apt/lists" -o "Dir::Cache=$cache/apt/cache")
        "${apt[@]}" update >/dev/null
        (cd "$cache/source" && "${apt[@]}" source --download-only "qt6-base=$version" >/dev/null)
    fi
    # apt has checked the files against the archive's signed index; dpkg-source's own word
    # on the uploader's signature (no keyring for it here) is only shown if unpacking fails.
    dpkg-source -q -x "$dsc" "$folder" >"$folder.unpack.log" 2>&1 ||
        { cat "$folder.unpack.log" >&2; return 1; }
    rm -f "$folder.unpack.log"
    for patch in "$@"; do
        echo "== applying $patch"
        patch -d "$folder" -p1 --quiet <"$patch"
    done
}
