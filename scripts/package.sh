#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing (Debian 12 or 13), builds the program for release and packs it as a
# .deb for the classroom machines; prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/packages.sh
ensure_packages $BUILD_PACKAGES $DEB_PACKAGES

cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DZNAYDAR_BUILD_TESTS=OFF
cmake --build build-release --parallel "$(nproc 2>/dev/null || echo 2)" --target znaydar
(cd build-release && cpack -G DEB >/dev/null)
ls "$PWD"/build-release/znaydar_*.deb
