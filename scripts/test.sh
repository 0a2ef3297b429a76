#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing (Debian 12 or 13), then builds and runs every test twice: a normal
# build, and one with AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages $BUILD_PACKAGES $TEST_PACKAGES

jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZNAYDAR_WERROR=ON
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --parallel "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZNAYDAR_SANITIZE=ON -DZNAYDAR_WERROR=ON
cmake --build build-sanitize --parallel "$jobs"
# Leaks are looked for: memory of ours left unreachable at exit fails the test. The
# suppressions cover the toolkit's own allocations only. The test run under strace turns
# the leak check off for itself, as it cannot work under a tracer.
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize --output-on-failure --parallel "$jobs"
