#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build's tests, through CTest, on a private X screen and in a fresh Wine prefix
# that the C++ tests share: each C++ test on Qt's offscreen platform, the window tests again
# on Qt's own Windows platform in real Wine windows, and each job a CTest entry with a label
# of its own, which makes its own prefix and screen:
#   exe             the program file, as Windows will load it (no Wine needed)
#   wine-session    a session of znaydar.exe by mouse and keyboard
#   installers      the NSIS installer and the MSI installed, upgraded and removed
#   windows-floor   both refused below Windows 10 1809 and on Windows 7, both installed on 1809
#   signing         the three files signed with a throwaway certificate and verified
# The UI Automation test (label uia) needs root and a chroot of its own: it runs apart.
#   wine-tests.sh BUILD_DIR [CTEST OPTIONS...]     e.g. -L installers for that job alone
# BUILD_DIR is the Windows build after its installer target: dist/ and product.env.
set -euo pipefail
here=$(dirname "$0")
. "$here/session.sh"
. "$here/wine.sh"
session_name=wine-tests
[ $# -ge 1 ] || session_fail "usage: wine-tests.sh BUILD_DIR [CTEST OPTIONS...]"
build=$(cd "$1" && pwd)
shift
# The C++ tests under Wine take most of the time.
wine_begin wine-tests 3000

# A test function that cannot work under Wine skips itself with its reason; CTest counts its
# program as passed, so the reasons are shown here.
log=$wine_folder/ctest.log
if ! ctest --test-dir "$build" -V -LE uia --parallel "$(nproc 2>/dev/null || echo 2)" "$@" >"$log" 2>&1; then
    grep -Ev '^[0-9]+: (PASS|QDEBUG|QWARN|QCRITICAL) ' "$log" | tail -n 150
    session_fail "the tests above failed"
fi
grep -E '^[0-9]+: (check-exe|wine-[a-z-]+): ' "$log" | grep -Ev ': step [0-9]+:|waiting for the window' | sed 's/^[0-9]*: //'
grep -E 'tests passed|^Total Test time' "$log" | sed 's/^/wine-tests:    /'
grep -E '^[0-9]+: SKIP ' "$log" | sed 's/^[0-9]*: SKIP *: */wine-tests:    skipped: /' | sort -u || true
session_say "PASS: the Windows build under $("$wine" --version)"
