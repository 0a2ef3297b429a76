#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Знайдар for 64-bit Windows on Debian 12: one znaydar.exe that needs no DLL beyond
# Windows's own, an installer for a classroom, and an MSI for a school's domain. With --test
# it then runs the tests under Wine: the C++ tests, a session of the program by mouse and
# keyboard, and both installers installed, upgraded, started and removed silently.
#
#   bash scripts/windows.sh [--test]
#
# Its last lines name what it made:
#   exe: build-windows/dist/znaydar.exe
#   installer: build-windows/dist/znaydar-1.0.0-setup.exe
#   msi: build-windows/dist/znaydar-1.0.0.msi
#
# Unsigned unless a school gives its code-signing certificate: ZNAYDAR_SIGN_PFX (a .pfx file)
# and ZNAYDAR_SIGN_PASSWORD in the environment sign all three files (windows/sign.sh).
#
# Qt for Windows is built once from Debian's own Qt source (the same version as the
# machine's qt6-base-dev, Debian's patches applied, then ours from windows/), as a static
# library for MinGW-w64, and kept in ZNAYDAR_WINDOWS_CACHE (default /var/cache/znaydar-windows
# for root, ~/.cache/znaydar-windows otherwise). It is built again when the Qt version, our
# patches, the toolchain file or the options below change, or at once with
# ZNAYDAR_QT_REBUILD=1; to start from nothing, remove that folder. The first build takes
# 15 to 60 minutes on two cores, depending on how busy they are.
# Installs what is missing (through sudo when not root). The Qt source is fetched with a
# private apt sources file and lists folder: the machine's apt configuration is not touched.
set -euo pipefail

test_too=0
case ${1:-} in
    "") ;;
    --test) test_too=1 ;;
    *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

cd "$(dirname "$0")/.."
project=$PWD
. scripts/packages.sh
. scripts/qt-source.sh
ensure_packages $BUILD_PACKAGES $WINDOWS_PACKAGES
[ "$test_too" = 0 ] || ensure_packages $WINE_TEST_PACKAGES

jobs=$(nproc 2>/dev/null || echo 2)
if [ "$(id -u)" -eq 0 ]; then
    cache=${ZNAYDAR_WINDOWS_CACHE:-/var/cache/znaydar-windows}
else
    cache=${ZNAYDAR_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/znaydar-windows}
fi
mkdir -p "$cache"

# --- Qt for Windows ------------------------------------------------------------------------
# Only what the window needs: widgets, the Windows platform and styles, UI Automation for
# screen readers, the JPEG and PNG readers, the test library, and the offscreen platform the
# tests draw on. OpenGL is off at the source (-DINPUT_opengl=no), which also keeps the
# dynamic OpenGL loader out; Debian's source has no Wintab, so tablet events are off.
qt_options=(
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release -DFEATURE_optimize_size=ON
    "-DCMAKE_C_FLAGS=-ffunction-sections -fdata-sections"
    "-DCMAKE_CXX_FLAGS=-ffunction-sections -fdata-sections"
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF -DINPUT_opengl=no
    -DFEATURE_vulkan=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF -DFEATURE_accessibility=ON
)
qt_version=$(qt_source_version)
patches=(windows/qtbase-*.patch)
[ -e "${patches[0]}" ] || patches=()
stamp=$({
    echo "$qt_version"
    printf '%s\n' "${qt_options[@]}"
    cat cmake/mingw-w64-x86_64.cmake "${patches[@]}"
} | sha256sum | cut -c1-12)
qt=$cache/qt-${qt_version%%+*}-$stamp

build_qt() {
    local began work
    began=$(date +%s)
    work=$(mktemp -d "$cache/qt-build.XXXXXX")
    qt_source_unpack "$cache" "$qt_version" "$work/qtbase" "${patches[@]}"
    # The installed Qt refers to its toolchain file for good: a copy of its own, not one in
    # a checkout that may move.
    mkdir -p "$qt"
    cp cmake/mingw-w64-x86_64.cmake "$qt/mingw-w64-x86_64.cmake"
    echo "== configuring Qt ${qt_version%%+*} for Windows (static, MinGW-w64) into $qt"
    cmake -G Ninja -S "$work/qtbase" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$qt/mingw-w64-x86_64.cmake" \
        -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
        -DCMAKE_INSTALL_PREFIX="$qt" "${qt_options[@]}" >"$work/configure.log" 2>&1 ||
        { tail -n 30 "$work/configure.log" >&2; exit 1; }
    echo "== building Qt (kept in $qt; this is done once)"
    cmake --build "$work/build" --parallel "$jobs" >"$work/build.log" 2>&1 ||
        { tail -n 30 "$work/build.log" >&2; exit 1; }
    cmake --install "$work/build" >/dev/null
    rm -rf "$work"
    touch "$qt/.complete"
    echo "== Qt for Windows took $(($(date +%s) - began)) s"
}

if [ -n "${ZNAYDAR_QT_REBUILD:-}" ] || [ ! -f "$qt/.complete" ]; then
    rm -rf "$qt"
    build_qt
fi

# --- the program and its installers ------------------------------------------------------------
wine=/usr/lib/wine/wine64
build=build-windows
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DZNAYDAR_WERROR=ON -DZNAYDAR_BUILD_TESTS=$([ "$test_too" = 1 ] && echo ON || echo OFF) \
    -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" >/dev/null
cmake --build "$build" --parallel "$jobs"
# The installer target lays out the program's files and makes both installers from them.
cmake --build "$build" --target installer
. "$build/product.env"

if [ "$test_too" = 1 ]; then
    bash tests/wine-tests.sh "$build"
fi

echo "== znaydar.exe: $(stat -c %s "$build/$exe") bytes; the NSIS installer: $(stat -c %s "$build/$installer") bytes; the MSI: $(stat -c %s "$build/$msi") bytes"
echo "exe: $project/$build/$exe"
echo "installer: $project/$build/$installer"
echo "msi: $project/$build/$msi"
