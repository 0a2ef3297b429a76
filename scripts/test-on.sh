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

project=$(cd "$(dirname "$0")/.." && pwd)
. "$project/scripts/chroot.sh"
chroot_namespace "$0" "$@"
git -C "$project" -c safe.directory="$project" rev-parse --verify -q HEAD >/dev/null || { echo "$0: $project is not a git checkout" >&2; exit 1; }

base=$(chroot_base "$suite")
chroot_open "$base" "$suite"
mkdir -p "$machine/root/project"
git -C "$project" -c safe.directory="$project" archive HEAD | tar -x -C "$machine/root/project"
echo "== project at $(git -C "$project" -c safe.directory="$project" rev-parse --short HEAD)"

start=$(date +%s)
status=0
chroot_run 'cd /root/project && eval "$1"' "$command" || status=$?
echo "== $1: '$command' exited $status after $(($(date +%s) - start)) s"
exit "$status"
