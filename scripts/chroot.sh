# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the scripts that run something on a fresh minimal Debian: a debootstrap
# --variant=minbase chroot, unpacked from a tarball kept between runs, with /proc, /sys, /dev
# and a private /dev/shm and /dev/pts mounted in a mount namespace of the run alone, so even
# a killed run leaves nothing mounted on the host.
#
# ZNAYDAR_CHROOTS chooses where the tarballs and the machines go (default
# /var/cache/znaydar-test-on). A tarball is remade when older than a week, or at once with
# ZNAYDAR_CHROOT_REFRESH=1. Needs root, debootstrap and the Debian archive keyring; the
# packages come from the mirror this machine's own apt sources name.
#
#   . scripts/chroot.sh
#   chroot_namespace "$0" "$@"           # first: runs the script again in its own namespace
#   tarball=$(chroot_base trixie)        # the bare system
#   tarball=$(chroot_with trixie wine PACKAGES...)   # the bare system with packages added
#   chroot_open "$tarball" trixie        # unpacks and mounts it: sets machine; cleans up on exit
#   chroot_run 'COMMAND' [ARGS...]       # runs bash -c COMMAND inside, as root, no terminal
# shellcheck shell=bash

# A failure inside $(...) ends the script too, as anywhere else.
shopt -s inherit_errexit
chroot_project=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$chroot_project/scripts/packages.sh"
chroot_store=${ZNAYDAR_CHROOTS:-/var/cache/znaydar-test-on}
machine=""

chroot_fail() {
    echo "$0: $*" >&2
    exit 1
}

# Runs the calling script again inside a mount namespace of its own, unless it already is.
chroot_namespace() {
    [ "$(id -u)" -eq 0 ] || chroot_fail "debootstrap and chroot need root"
    if [ -z "${ZNAYDAR_CHROOT_NS:-}" ]; then
        ZNAYDAR_CHROOT_NS=1 exec unshare --mount --propagation private -- bash "$@"
    fi
    ensure_packages debootstrap debian-archive-keyring
    mkdir -p "$chroot_store"
}

# Says whether a kept tarball is missing, older than a week or due for a refresh.
chroot_stale() {
    [ -n "${ZNAYDAR_CHROOT_REFRESH:-}" ] || [ -z "$(find "$1" -mtime -7 2>/dev/null)" ]
}

# Packs a folder into the tarball under a name of this run's own first, so two runs
# refreshing at once cannot mix.
chroot_pack() {
    local folder=$1 tarball=$2 packed
    packed=$(mktemp "$tarball.XXXXXX")
    tar -C "$folder" -czf "$packed" . && mv "$packed" "$tarball"
}

# The bare debootstrap result of a suite, kept as a tarball; prints its path.
chroot_base() {
    local suite=$1 tarball began archive fresh
    tarball=$chroot_store/$suite-minbase.tar.gz
    if chroot_stale "$tarball"; then
        began=$(date +%s)
        # Without a mirror of our own, debootstrap would quietly fall back on a default one.
        archive=$(debian_mirror) || exit 1
        fresh=$(mktemp -d "$chroot_store/$suite-debootstrap.XXXXXX")
        echo "== debootstrap --variant=minbase $suite (kept as $tarball)" >&2
        if ! debootstrap --variant=minbase "$suite" "$fresh" "$archive" >"$fresh.log" 2>&1; then
            tail -n 30 "$fresh.log" >&2
            rm -rf "$fresh"
            exit 1
        fi
        chroot_pack "$fresh" "$tarball"
        rm -rf "$fresh" "$fresh.log"
        echo "== debootstrap took $(($(date +%s) - began)) s" >&2
    fi
    echo "$tarball"
}

# The bare system of a suite with packages installed, kept as a tarball of its own under
# NAME; remade with the bare one, and when the list of packages changes. Prints its path.
#   chroot_with SUITE NAME PACKAGES...
chroot_with() {
    local suite=$1 name=$2 base tarball stamp began
    shift 2
    base=$(chroot_base "$suite")
    stamp=$(printf '%s\n' "$@" | sha256sum | cut -c1-8)
    tarball=$chroot_store/$suite-$name-$stamp.tar.gz
    if chroot_stale "$tarball" || [ "$base" -nt "$tarball" ]; then
        began=$(date +%s)
        echo "== $suite with $* (kept as $tarball)" >&2
        (
            chroot_open "$base" "$suite-$name"
            chroot_run '{ apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
                --no-install-recommends "$@"; } >/tmp/install.log 2>&1 || { tail -n 30 /tmp/install.log; exit 1; }
                apt-get clean; rm -rf /var/lib/apt/lists/* /tmp/install.log' "$@" >&2 ||
                chroot_fail "installing $* into $suite failed"
            chroot_unmount
            rm -f "$machine/etc/resolv.conf"
            chroot_pack "$machine" "$tarball"
        ) || exit 1
        # Older lists of packages are of no more use.
        find "$chroot_store" -maxdepth 1 -name "$suite-$name-*.tar.gz" ! -path "$tarball" -delete
        echo "== $suite with its packages took $(($(date +%s) - began)) s" >&2
    fi
    echo "$tarball"
}

chroot_unmount() {
    local m
    for m in dev/pts dev/shm dev sys proc; do
        mountpoint -q "$machine/$m" && umount -l "$machine/$m"
    done
    return 0
}

chroot_cleanup() {
    [ -n "$machine" ] && [ -d "$machine" ] || return 0
    chroot_unmount
    # Only remove the machine once nothing is mounted in it any more.
    if ! grep -q " $machine/" /proc/self/mounts; then
        rm -rf "$machine"
    else
        echo "$0: $machine still has mounts; left in place" >&2
    fi
}

# Unpacks a tarball into a new machine folder and mounts what programs need inside.
#   chroot_open TARBALL NAME
chroot_open() {
    machine=$(mktemp -d "$chroot_store/$2-run.XXXXXX")
    trap chroot_cleanup EXIT
    trap 'exit 130' INT TERM
    echo "== unpacking $(basename "$1") into $machine" >&2
    tar -C "$machine" -xzf "$1"
    cp /etc/resolv.conf "$machine/etc/resolv.conf"
    mount -t proc proc "$machine/proc"
    mount -t sysfs sys "$machine/sys"
    mount --bind /dev "$machine/dev"
    # Shared memory and terminals of their own, so nothing made inside lands in the host's /dev.
    mount -t tmpfs -o mode=1777 shm "$machine/dev/shm"
    mount -t devpts -o newinstance,ptmxmode=0666 devpts "$machine/dev/pts"
}

# Runs bash -c COMMAND inside the machine, as root with a clean environment and no terminal.
chroot_run() {
    chroot "$machine" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        bash -c "$1" bash "${@:2}" </dev/null
}
