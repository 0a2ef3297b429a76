# SPDX-License-Identifier: GPL-3.0-or-later
# The self-contained Linux program (scripts/linux.sh): the same program built against a static
# Qt, for Astra Linux, Alt Education, RED OS and any other Linux back to glibc 2.28. Included
# by Packaging.cmake before CPack; does nothing for a build against Debian's shared Qt.
#
# The same files as the Debian package go into an .rpm for ALT and RED OS and a .deb for
# Astra Linux and other Debian-based systems, with Qt's licences beside ours. The `dist`
# target lays out dist/ in the build folder: the program file alone, stripped, as it goes
# into both packages, and the two packages.
if(WIN32 OR NOT qt_kind STREQUAL "STATIC_LIBRARY")
    return()
endif()

# Qt's licences, and the line naming the source it was built from (written by linux.sh).
install(DIRECTORY ${QT6_INSTALL_PREFIX}/licences/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/qt)

set(ZNAYDAR_SELF_CONTAINED_NOTE
"This build carries its own Qt ${Qt6_VERSION} and C++ runtime and runs on any 64-bit
Linux with glibc 2.28 or later and an X11 desktop (Astra Linux 1.7, Alt Education,
RED OS 7.3, Debian 10 and later).")

# --- the .deb for Astra Linux ------------------------------------------------------------------
# The same package name as the build against Debian's Qt: either replaces the other. Its
# Depends come from the program itself (dpkg-shlibdeps on Debian 11), so they name only the
# C library and the X11 desktop's libraries, at the oldest versions that serve.
set(ZNAYDAR_DEB_FILE znaydar_${PROJECT_VERSION}-1_astra_amd64.deb)
set(CPACK_DEBIAN_FILE_NAME ${ZNAYDAR_DEB_FILE})
# D-Bus, for the screen-reader bridge, is loaded when the program starts: no tool sees it.
set(CPACK_DEBIAN_PACKAGE_DEPENDS libdbus-1-3)
string(APPEND CPACK_PACKAGE_DESCRIPTION "\n\n${ZNAYDAR_SELF_CONTAINED_NOTE}")

# --- the .rpm for ALT and RED OS ---------------------------------------------------------------
# ALT's apt-rpm refuses rich (boolean) dependencies, and rpm before 4.14 reads no zstd
# payload, so: the libraries by soname only, libxcb.so.1()(64bit), which ALT and RED OS
# both provide, as rpmbuild finds them in the program (and D-Bus, which it loads), and an xz
# payload, without /usr/lib/.build-id links (neither distribution keeps them for packages
# from elsewhere).
set(ZNAYDAR_RPM_FILE znaydar-${PROJECT_VERSION}-1.x86_64.rpm)
set(CPACK_RPM_FILE_NAME ${ZNAYDAR_RPM_FILE})
set(CPACK_RPM_PACKAGE_NAME znaydar)
set(CPACK_RPM_PACKAGE_RELEASE 1)
set(CPACK_RPM_PACKAGE_ARCHITECTURE x86_64)
set(CPACK_RPM_PACKAGE_LICENSE "${ZNAYDAR_LICENCE}")
set(CPACK_RPM_PACKAGE_GROUP Education)
set(CPACK_RPM_PACKAGE_URL "${ZNAYDAR_HOMEPAGE}")
set(CPACK_RPM_PACKAGE_VENDOR "${ZNAYDAR_PUBLISHER}")
set(CPACK_RPM_PACKAGE_AUTOREQ ON)
set(CPACK_RPM_PACKAGE_REQUIRES "libdbus-1.so.3()(64bit)")
set(CPACK_RPM_PACKAGE_AUTOPROV OFF)
set(CPACK_RPM_COMPRESSION_TYPE xz)
# rpmbuild's own post-processing would strip the program again; it goes in as packed.
set(CPACK_RPM_SPEC_MORE_DEFINE "%define _build_id_links none\n%define __os_install_post %{nil}")
set(CPACK_RPM_PACKAGE_SUMMARY "${ZNAYDAR_NAME}, ${ZNAYDAR_SUMMARY_RU} / ${ZNAYDAR_NAME_LATIN}, a classroom test on information encoding")
set(CPACK_RPM_PACKAGE_DESCRIPTION
"Школьная программа для урока информатики: ученик проходит тест из десяти
вопросов по теме «Кодирование информации» (объём растрового изображения,
количество информации в разряде числа, 8- и 16-битные кодировки текста,
глубина цвета, уровни звукового сигнала). Количество ошибок видно в окне для
учителя. Программа ничего не сохраняет и не работает с сетью. Сборка несёт
свою библиотеку Qt и работает в любом 64-битном Linux с glibc 2.28 или новее
и рабочим столом X11 (Astra Linux 1.7, Альт Образование, РЕД ОС 7.3).

${CPACK_PACKAGE_DESCRIPTION}")
# The folders the system's own packages own are not claimed by this one.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
    /usr/share/applications /usr/share/metainfo /usr/share/doc
    /usr/share/icons /usr/share/icons/hicolor)
foreach(size 16x16 32x32 48x48 64x64 128x128 256x256 scalable)
    list(APPEND CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION
        /usr/share/icons/hicolor/${size} /usr/share/icons/hicolor/${size}/apps)
endforeach()

# --- dist/ -------------------------------------------------------------------------------------
add_custom_target(dist
    COMMAND ${CMAKE_COMMAND} -E rm -rf dist cpack
    COMMAND ${CMAKE_COMMAND} -E make_directory dist
    COMMAND ${CMAKE_STRIP} -o dist/znaydar $<TARGET_FILE:znaydar>
    COMMAND ${CMAKE_CPACK_COMMAND} --config CPackConfig.cmake -G DEB -B cpack
    COMMAND ${CMAKE_CPACK_COMMAND} --config CPackConfig.cmake -G RPM -B cpack
    COMMAND ${CMAKE_COMMAND} -E copy cpack/${ZNAYDAR_DEB_FILE} cpack/${ZNAYDAR_RPM_FILE} dist/
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS znaydar
    VERBATIM)

# What the dist target makes, for linux.sh and the tests.
file(APPEND ${CMAKE_BINARY_DIR}/product.env
"# What the self-contained Linux build's dist target makes, under the build folder.
linux_program=dist/znaydar
rpm=dist/${ZNAYDAR_RPM_FILE}
deb=dist/${ZNAYDAR_DEB_FILE}
")
