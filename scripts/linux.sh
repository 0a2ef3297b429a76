#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Знайдар for every Linux a school may run, back to glibc 2.28 (Astra Linux 1.7,
# RED OS 7.3, Alt Education): one self-contained program file that carries its Qt, an .rpm
# for ALT and RED OS, and a .deb for Astra Linux and any other Debian-based system. With
# --test it then checks them: the file's needs symbol by symbol, the packages' contents,
# and whole sessions on fresh Debian 11, 12 and 13 machines with no Qt at all
# (tests/linux-tests.sh).
#
#   bash scripts/linux.sh [--test]
#
# Its last lines name what it made:
#   program: build-linux/dist/znaydar
#   rpm: build-linux/dist/znaydar-1.0.0-1.x86_64.rpm
#   deb: build-linux/dist/znaydar_1.0.0-1_astra_amd64.deb
#
# Everything is compiled inside a minimal Debian 11 (scripts/chroot.sh), whose glibc 2.31 and
# GCC 10 stand in for the oldest system: cmake/linux-glibc-2.28.h keeps the few functions
# newer than glibc 2.28 out, and the C++ runtime goes inside the program. Debian 11's CMake
# is too old for a static Qt 6.4, so this machine's own CMake runs there, with its libraries.
#
# Qt is built once from Debian's own Qt source (the same version as this machine's
# qt6-base-dev, Debian's patches applied, then any of ours from linux/), as a static library
# with only what the window needs, and kept in ZNAYDAR_LINUX_CACHE (default
# /var/cache/znaydar-linux). It is built again when the Qt version, our patches, the
# toolchain files, the options below or Debian 11's build packages change, or at once with
# ZNAYDAR_QT_REBUILD=1; to start from nothing, remove that folder. The first build takes
# 15 to 40 minutes on two cores. Needs root (debootstrap and chroot): run as another user,
# it asks sudo.
set -euo pipefail

test_too=0
case ${1:-} in
    "") ;;
    --test) test_too=1 ;;
    *) echo "usage: $0 [--test]" >&2; exit 2 ;;
esac

cd "$(dirname "$0")/.."
project=$PWD
[ "$(id -u)" -eq 0 ] || exec sudo --preserve-env=ZNAYDAR_LINUX_CACHE,ZNAYDAR_QT_REBUILD,ZNAYDAR_CHROOTS,ZNAYDAR_CHROOT_REFRESH \
    bash "$project/scripts/linux.sh" "$@"
. scripts/chroot.sh
chroot_namespace "$project/scripts/linux.sh" "$@"
. scripts/qt-source.sh
ensure_packages $BUILD_PACKAGES $LINUX_PACKAGES

jobs=$(nproc 2>/dev/null || echo 2)
cache=${ZNAYDAR_LINUX_CACHE:-/var/cache/znaydar-linux}
mkdir -p "$cache"

# --- Debian 11, with what building needs -----------------------------------------------------
# The X11 libraries' headers, no Qt. D-Bus is loaded when the program starts rather than
# linked; the accessibility bridge takes only the AT-SPI headers.
build_packages=(g++ make ninja-build pkg-config perl dpkg-dev file rpm
    libx11-dev libx11-xcb-dev libxcb1-dev libxcb-icccm4-dev libxcb-image0-dev libxcb-keysyms1-dev
    libxcb-randr0-dev libxcb-render0-dev libxcb-render-util0-dev libxcb-shape0-dev libxcb-shm0-dev
    libxcb-sync-dev libxcb-xfixes0-dev libxcb-xinput-dev libxcb-xkb-dev libxcb-util-dev
    libxkbcommon-dev libxkbcommon-x11-dev libfontconfig-dev libfreetype-dev zlib1g-dev libatspi2.0-dev)
tarball=$(chroot_with bullseye build "${build_packages[@]}")
# The test machines are made, or found kept, while Qt and the program build: their
# downloads and unpacking wait on the network and the disk more than on the processors.
prepare=""
if [ "$test_too" = 1 ]; then
    setsid bash tests/linux-tests.sh --prepare >"$cache/prepare.log" 2>&1 &
    prepare=$!
fi
# A run that ends early does not leave the making of the test machines behind.
stop_preparing() {
    [ -z "$prepare" ] || kill -TERM -- "-$prepare" 2>/dev/null || true
}
trap stop_preparing EXIT

# --- Qt for Linux ------------------------------------------------------------------------------
# Core, Gui, Widgets and D-Bus (for the accessibility bridge), the X11 platform, the JPEG
# reader, the compose-key input, fonts through fontconfig and the system's FreeType; Qt's own
# copies of HarfBuzz, libpng, libjpeg and PCRE2, so the program asks the system for none of
# them. The widgets and the parts of Gui the window never uses are left out, which keeps
# the build short.
qt_options=(
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_BUILD_TYPE=Release -DFEATURE_optimize_size=ON
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_qmake=OFF
    -DFEATURE_androiddeployqt=OFF -DFEATURE_vkgen=OFF -DFEATURE_mimetype_database=OFF
    -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_vulkan=OFF -DFEATURE_egl=OFF
    -DFEATURE_eglfs=OFF -DFEATURE_linuxfb=OFF -DFEATURE_vnc=OFF -DFEATURE_directfb=OFF
    -DFEATURE_kms=OFF -DFEATURE_gbm=OFF -DFEATURE_evdev=OFF -DFEATURE_libinput=OFF
    -DFEATURE_tslib=OFF -DFEATURE_mtdev=OFF -DFEATURE_tuiotouch=OFF -DFEATURE_libudev=OFF
    -DFEATURE_dbus=ON -DFEATURE_dbus_linked=OFF -DFEATURE_accessibility=ON
    -DFEATURE_xcb=ON -DFEATURE_xkbcommon=ON -DFEATURE_xcb_sm=OFF -DFEATURE_sessionmanager=OFF
    -DFEATURE_gtk3=OFF -DFEATURE_glib=OFF -DFEATURE_icu=OFF
    -DFEATURE_zstd=OFF -DFEATURE_journald=OFF -DFEATURE_syslog=OFF -DFEATURE_backtrace=OFF
    -DFEATURE_fontconfig=ON -DFEATURE_system_freetype=ON -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_system_zlib=ON
    -DFEATURE_gif=OFF -DFEATURE_ico=OFF -DFEATURE_imageformat_bmp=OFF -DFEATURE_imageformat_ppm=OFF
    -DFEATURE_imageformat_xbm=OFF -DFEATURE_movie=OFF -DFEATURE_pdf=OFF -DFEATURE_picture=OFF
    -DFEATURE_textodfwriter=OFF -DFEATURE_textmarkdownreader=OFF -DFEATURE_textmarkdownwriter=OFF
    -DFEATURE_systemtrayicon=OFF -DFEATURE_tabletevent=OFF -DFEATURE_standarditemmodel=OFF
    -DFEATURE_filesystemmodel=OFF -DFEATURE_undocommand=OFF -DFEATURE_undostack=OFF
    -DFEATURE_undogroup=OFF -DFEATURE_whatsthis=OFF -DFEATURE_validator=OFF
    -DFEATURE_sharedmemory=OFF -DFEATURE_systemsemaphore=OFF -DFEATURE_jalalicalendar=OFF
    -DFEATURE_hijricalendar=OFF -DFEATURE_islamiccivilcalendar=OFF
    -DFEATURE_sortfilterproxymodel=OFF -DFEATURE_identityproxymodel=OFF
    -DFEATURE_transposeproxymodel=OFF -DFEATURE_concatenatetablesproxymodel=OFF
    -DFEATURE_stringlistmodel=OFF
    -DFEATURE_style_windows=OFF -DFEATURE_style_stylesheet=OFF -DFEATURE_effects=OFF
    -DFEATURE_itemviews=OFF -DFEATURE_treewidget=OFF -DFEATURE_listwidget=OFF -DFEATURE_tablewidget=OFF
    -DFEATURE_listview=OFF -DFEATURE_tableview=OFF -DFEATURE_treeview=OFF -DFEATURE_columnview=OFF
    -DFEATURE_datawidgetmapper=OFF -DFEATURE_completer=OFF -DFEATURE_fscompleter=OFF
    -DFEATURE_commandlinkbutton=OFF -DFEATURE_datetimeedit=OFF -DFEATURE_calendarwidget=OFF
    -DFEATURE_stackedwidget=OFF -DFEATURE_textbrowser=OFF -DFEATURE_textedit=OFF
    -DFEATURE_syntaxhighlighter=OFF -DFEATURE_splashscreen=OFF -DFEATURE_splitter=OFF
    -DFEATURE_formlayout=OFF -DFEATURE_lcdnumber=OFF -DFEATURE_menu=OFF -DFEATURE_menubar=OFF
    -DFEATURE_contextmenu=OFF -DFEATURE_lineedit=OFF -DFEATURE_spinbox=OFF -DFEATURE_tabbar=OFF
    -DFEATURE_tabwidget=OFF -DFEATURE_combobox=OFF -DFEATURE_fontcombobox=OFF
    -DFEATURE_toolbutton=OFF -DFEATURE_toolbar=OFF -DFEATURE_toolbox=OFF -DFEATURE_mainwindow=OFF
    -DFEATURE_dockwidget=OFF -DFEATURE_mdiarea=OFF -DFEATURE_statusbar=OFF -DFEATURE_statustip=OFF
    -DFEATURE_progressbar=OFF -DFEATURE_slider=OFF -DFEATURE_scrollbar=OFF -DFEATURE_scrollarea=OFF
    -DFEATURE_dial=OFF -DFEATURE_scroller=OFF -DFEATURE_rubberband=OFF -DFEATURE_sizegrip=OFF
    -DFEATURE_graphicsview=OFF -DFEATURE_graphicseffect=OFF -DFEATURE_keysequenceedit=OFF
    -DFEATURE_colordialog=OFF -DFEATURE_filedialog=OFF -DFEATURE_fontdialog=OFF
    -DFEATURE_progressdialog=OFF -DFEATURE_inputdialog=OFF -DFEATURE_errormessage=OFF
    -DFEATURE_wizard=OFF -DFEATURE_undoview=OFF -DFEATURE_resizehandler=OFF
)
qt_version=$(qt_source_version)
patches=(linux/qtbase-*.patch)
[ -e "${patches[0]}" ] || patches=()
stamp=$({
    echo "$qt_version"
    printf '%s\n' "${qt_options[@]}" "${build_packages[@]}"
    cat cmake/linux-x86_64.cmake cmake/linux-glibc-2.28.h "${patches[@]}"
} | sha256sum | cut -c1-12)
qt=$cache/qt-${qt_version%%+*}-$stamp

# CMake 3.21 or later builds and uses a static Qt 6.4; Debian 11 has 3.18. This machine's
# cmake, cpack and ctest go into the machine with every library they load and the loader
# itself, and are told to find those there: they run as they do here, while the compilers
# and tools they start are Debian 11's own.
host_cmake_into_machine() {
    local into=$machine/opt/cmake tool
    mkdir -p "$into/bin" "$into/lib" "$into/share"
    cp -a /usr/share/cmake-[0-9]* "$into/share/"
    for tool in cmake cpack ctest; do
        cp /usr/bin/$tool "$into/bin/"
        ldd /usr/bin/$tool | awk '$2 == "=>" && $3 ~ /^\// { print $3 } $1 ~ /^\// { print $1 }'
    done | sort -u | xargs cp -L -t "$into/lib/"
    for tool in cmake cpack ctest; do
        patchelf --set-interpreter /opt/cmake/lib/ld-linux-x86-64.so.2 --force-rpath --set-rpath /opt/cmake/lib \
            "$into/bin/$tool"
    done
}

# The machine, with the cache and the project where they are here, so that every path Qt
# and the build record holds inside and out. They are let go before the machine is removed.
shared_folders=("$cache" "$project")
open_build_machine() {
    chroot_open "$tarball" bullseye-build
    trap 'stop_preparing; close_build_machine' EXIT
    local folder
    for folder in "${shared_folders[@]}"; do
        mkdir -p "$machine$folder"
        mount --bind "$folder" "$machine$folder"
    done
    host_cmake_into_machine
    cp linux/shlibs.override "$machine/etc/dpkg/shlibs.override"
}
close_build_machine() {
    [ -n "$machine" ] || return 0
    local folder
    for folder in "${shared_folders[@]}"; do
        ! mountpoint -q "$machine$folder" || umount -l "$machine$folder"
    done
    chroot_cleanup
    machine=""
}
in_machine() {
    chroot_run 'export PATH=/opt/cmake/bin:$PATH; set -euo pipefail; eval "$1"' "$1"
}

build_qt() {
    local began work
    began=$(date +%s)
    # What an interrupted build left, and Qt built with other inputs, are of no more use.
    rm -rf "$cache"/qt-build.* "$cache"/qt-licences.* "$cache"/qt-[0-9]*
    work=$(mktemp -d "$cache/qt-build.XXXXXX")
    qt_source_unpack "$cache" "$qt_version" "$work/qtbase" "${patches[@]}"
    # The installed Qt refers to its toolchain file for good: a copy of its own, not one in
    # a checkout that may move.
    mkdir -p "$qt"
    cp cmake/linux-x86_64.cmake cmake/linux-glibc-2.28.h "$qt/"
    echo "== configuring Qt ${qt_version%%+*} for Linux (static, Debian 11) into $qt"
    in_machine "cmake -G Ninja -S '$work/qtbase' -B '$work/build' -DCMAKE_TOOLCHAIN_FILE='$qt/linux-x86_64.cmake' \
        -DCMAKE_INSTALL_PREFIX='$qt' $(printf "'%s' " "${qt_options[@]}") >'$work/configure.log' 2>&1" ||
        { tail -n 40 "$work/configure.log" >&2; exit 1; }
    echo "== building Qt (kept in $qt; this is done once)"
    in_machine "cmake --build '$work/build' --parallel $jobs >'$work/build.log' 2>&1" ||
        { tail -n 30 "$work/build.log" >&2; exit 1; }
    in_machine "cmake --install '$work/build' >/dev/null"
    rm -rf "$work"
    touch "$qt/.complete"
    echo "== Qt for Linux took $(($(date +%s) - began)) s"
}

# Qt's licences, those of the libraries it carries in, Debian's copyright file for its whole
# source, and a line naming that source, kept beside Qt for the packages to carry.
qt_licences() {
    [ ! -f "$qt/licences/copyright" ] || return 0
    local source third
    rm -rf "$cache"/qt-licences.*
    source=$(mktemp -d "$cache/qt-licences.XXXXXX")
    qt_source_unpack "$cache" "$qt_version" "$source/qtbase"
    rm -rf "$qt/licences"
    mkdir "$qt/licences"
    cp "$source"/qtbase/LICENSES/* "$qt/licences/"
    cp "$source/qtbase/debian/copyright" "$qt/licences/copyright"
    for third in libjpeg/LICENSE libjpeg/ijg-license.txt libjpeg/zlib-license.txt libpng/LICENSE \
        harfbuzz-ng/COPYING pcre2/LICENCE pcre2/LICENCE-SLJIT double-conversion/LICENSE; do
        cp "$source/qtbase/src/3rdparty/$third" "$qt/licences/${third//\//-}"
    done
    echo "Qt ${qt_version%%+*}, built as a static library from Debian's qt6-base source package" \
        "$qt_version, with Debian's patches${patches[*]:+ and ours: ${patches[*]##*/}}." >"$qt/licences/QT-SOURCE.txt"
    rm -rf "$source"
}

open_build_machine
if [ -n "${ZNAYDAR_QT_REBUILD:-}" ] || [ ! -f "$qt/.complete" ]; then
    rm -rf "$qt"
    build_qt
fi
qt_licences

# --- the program and its packages -----------------------------------------------------------
build=build-linux
# A build made against another Qt (one built with other inputs, since removed) starts anew.
if [ "$(cat "$build/qt-used" 2>/dev/null)" != "$qt" ]; then
    rm -rf "$build"
    mkdir -p "$build"
    echo "$qt" >"$build/qt-used"
fi
in_machine "cd '$project' && cmake -S . -B $build -G Ninja -DCMAKE_TOOLCHAIN_FILE='$qt/lib/cmake/Qt6/qt.toolchain.cmake' \
    -DCMAKE_BUILD_TYPE=Release -DZNAYDAR_WERROR=ON -DZNAYDAR_BUILD_TESTS=OFF >/dev/null &&
    cmake --build $build --parallel $jobs --target znaydar znaydar_floor &&
    cmake --build $build --target dist"
close_build_machine
. "$build/product.env"

if [ "$test_too" = 1 ]; then
    wait "$prepare" || { tail -n 30 "$cache/prepare.log" >&2; exit 1; }
    prepare=""
    bash tests/linux-tests.sh "$build"
fi

echo "== znaydar: $(stat -c %s "$build/$linux_program") bytes; the .rpm: $(stat -c %s "$build/$rpm") bytes; the .deb: $(stat -c %s "$build/$deb") bytes"
echo "program: $project/$build/$linux_program"
echo "rpm: $project/$build/$rpm"
echo "deb: $project/$build/$deb"
