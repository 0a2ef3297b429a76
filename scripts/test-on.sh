#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the test command (scripts/test.sh) on a fresh minimal Debian machine, the way a new
# maintainer would: a debootstrap --variant=minbase chroot, a clean copy of the current commit
# in /root/project, the command run as root with no terminal. Exits with the test command's status.
#
#   sudo bash scripts/test-on.sh debian-12|debian-13 [COMMAND]
#
# COMMAND, run by bash in /root/project, replaces the test command, for example
# 'bash scripts/package.sh' to check the packaging on that release.
# The bare debootstrap result is kept as a tarball so a second run starts in seconds; it is
# remade when older than a week, or at once with ZNAYDAR_CHROOT_REFRESH=1. ZNAYDAR_CHROOTS
# chooses where the tarballs and the machines go (default /var/cache/znaydar-test-on).
# Needs root, debootstrap and the Debian archive keyring; the packages come from the mirror
# this machine's own apt sources name.
set -euo pipefail

usage() {
    echo "usage: $0 debian-12|debian-13 [COMMAND]" >&2
    exit 2
}
[ $# -eq 1 ] || [ $# -eq 2 ] || usage
command=${2:-bash scripts/test.sh}
case $1 in
    debian-12) suite=bookworm ;;
    debian-13) suite=trixie ;;
    *) usage ;;
esac
[ "$(id -u)" -eq 0 ] || { echo "$0: debootstrap and chroot need root" >&2; exit 1; }

project=$(cd "$(dirname "$0")/.." && pwd)
. "$project/scripts/packages.sh"
ensure_packages debootstrap debian-archive-keyring
git -C "$project" -c safe.directory="$project" rev-parse --verify -q HEAD >/dev/null || { echo "$0: $project is not a git checkout" >&2; exit 1; }

# Every mount below lives in a mount namespace of this run alone, so even a killed run
# leaves nothing mounted on the host; the trap unmounts in the normal case as well.
if [ -z "${ZNAYDAR_TEST_ON_NS:-}" ]; then
    ZNAYDAR_TEST_ON_NS=1 exec unshare --mount --propagation private -- bash "$0" "$@"
fi

store=${ZNAYDAR_CHROOTS:-/var/cache/znaydar-test-on}
mkdir -p "$store"
tarball=$store/$suite-minbase.tar.gz

if [ -n "${ZNAYDAR_CHROOT_REFRESH:-}" ] || [ -z "$(find "$tarball" -mtime -7 2>/dev/null)" ]; then
    began=$(date +%s)
    # Without a mirror of our own, debootstrap would quietly fall back on a default one.
    archive=$(debian_mirror) || exit 1
    fresh=$(mktemp -d "$store/$suite-debootstrap.XXXXXX")
    echo "== debootstrap --variant=minbase $suite (kept as $tarball)"
    if ! debootstrap --variant=minbase "$suite" "$fresh" "$archive" >"$fresh.log" 2>&1; then
        tail -n 30 "$fresh.log" >&2
        rm -rf "$fresh"
        exit 1
    fi
    # Packed under a name of this run's own, so two runs refreshing at once cannot mix.
    packed=$(mktemp "$tarball.XXXXXX")
    tar -C "$fresh" -czf "$packed" . && mv "$packed" "$tarball"
    rm -rf "$fresh" "$fresh.log"
    echo "== debootstrap took $(($(date +%s) - began)) s"
fi

machine=$(mktemp -d "$store/$suite-run.XXXXXX")
cleanup() {
    local m
    for m in dev/pts dev/shm dev sys proc; do
        mountpoint -q "$machine/$m" && umount -l "$machine/$m"
    done
    # Only remove the machine once nothing is mounted in it any more.
    if ! grep -q " $machine/" /proc/self/mounts; then
        rm -rf "$machine"
    else
        echo "$0: $machine still has mounts; left in place" >&2
    fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

echo "== unpacking $suite into $machine"
tar -C "$machine" -xzf "$tarball"
cp /etc/resolv.conf "$machine/etc/resolv.conf"
mkdir -p "$machine/root/project"
git -C "$project" -c safe.directory="$project" archive HEAD | tar -x -C "$machine/root/project"
echo "== project at $(git -C "$project" -c safe.directory="$project" rev-parse --short HEAD)"

mount -t proc proc "$machine/proc"
mount -t sysfs sys "$machine/sys"
mount --bind /dev "$machine/dev"
# Shared memory and terminals of their own, so nothing the tests make lands in the host's /dev.
mount -t tmpfs -o mode=1777 shm "$machine/dev/shm"
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$machine/dev/pts"

start=$(date +%s)
status=0
chroot "$machine" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    bash -c 'cd /root/project && eval "$1"' bash "$command" </dev/null || status=$?
echo "== $1: '$command' exited $status after $(($(date +%s) - start)) s"
exit "$status"
