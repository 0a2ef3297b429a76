# SPDX-License-Identifier: GPL-3.0-or-later
# Debian packages the project needs, and a helper that installs only those missing.
BUILD_PACKAGES="cmake g++ ninja-build qt6-base-dev"
# cpack's Debian generator finds the library dependencies with dpkg-shlibdeps, which reads
# the binary's type with `file`; a minimal system has neither.
DEB_PACKAGES="dpkg-dev file"
TEST_PACKAGES="desktop-file-utils appstream $DEB_PACKAGES xvfb x11-utils x11-xserver-utils x11-apps strace xdotool
    orca dbus at-spi2-core"

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
