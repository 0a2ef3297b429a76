# SPDX-License-Identifier: GPL-3.0-or-later
# Debian packages the project needs, and a helper that installs only those missing.
BUILD_PACKAGES="cmake g++ ninja-build qt6-base-dev libxcb1-dev"
# cpack's Debian generator finds the library dependencies with dpkg-shlibdeps, which reads
# the binary's type with `file`; a minimal system has neither.
DEB_PACKAGES="dpkg-dev file"
# The Windows build: MinGW-w64, Debian's Qt source unpacked and patched, NSIS for the
# installer, wixl with msitools for the MSI, osslsigncode to sign them for a school with a
# certificate; its tests run under Wine on a private X screen, and sign with a throwaway
# certificate made with openssl.
WINDOWS_PACKAGES="g++-mingw-w64-x86-64-posix dpkg-dev xz-utils patch perl nsis wixl msitools osslsigncode debian-archive-keyring"
# The self-contained Linux program (scripts/linux.sh): built in a Debian 11 chroot from
# Debian's Qt source, with this machine's CMake carried in (patchelf), packed as an .rpm too
# (rpm), and checked with readelf and objdump (binutils).
LINUX_PACKAGES="debootstrap debian-archive-keyring patchelf rpm binutils dpkg-dev xz-utils patch"
WINE_TEST_PACKAGES="wine64 xvfb xdotool x11-apps x11-utils icoutils imagemagick openssl"
# dbus-x11 is there for the test that nothing is left running: with it, a program started
# without a session bus could start one of its own, as on a classroom desktop that has it.
TEST_PACKAGES="desktop-file-utils appstream $DEB_PACKAGES xvfb x11-utils x11-xserver-utils x11-apps strace xdotool
    imagemagick orca dbus dbus-x11 at-spi2-core"

ensure_packages() {
    local missing=()
    local package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# The Debian mirror this machine already uses: the first non-security archive in its apt
# sources (deb822 .sources files first, then the one-line format). Scripts that fetch from
# Debian themselves (debootstrap, a source package) use it rather than a default of their own.
debian_mirror() {
    local uri
    uri=$(awk 'tolower($1) == "uris:" { for (i = 2; i <= NF; i++) print $i }' \
              /etc/apt/sources.list.d/*.sources 2>/dev/null | grep -v -- '-security' | head -n 1 || true)
    [ -n "$uri" ] || uri=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
                           awk '$1 == "deb" { u = ($2 ~ /^\[/) ? $3 : $2; print u }' |
                           grep -v -- '-security' | head -n 1 || true)
    # A plain http(s) archive only, not apt's mirror+file: or cdrom: kinds.
    case $uri in
        http://* | https://*) echo "$uri" ;;
        *) echo "no plain http(s) Debian mirror in /etc/apt/sources*" >&2; return 1 ;;
    esac
}
