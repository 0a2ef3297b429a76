# SPDX-License-Identifier: GPL-3.0-or-later
# A Debian package built with `cpack -G DEB` in the build folder. Its library dependencies are
# worked out by dpkg-shlibdeps from the binary itself, so they follow whatever Qt it was built
# against.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME znaydar)
set(CPACK_PACKAGE_VENDOR "${ZNAYDAR_PUBLISHER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${ZNAYDAR_HOMEPAGE}")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(ZNAYDAR_MAINTAINER "${ZNAYDAR_PUBLISHER} <znaydar@users.noreply.github.com>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ZNAYDAR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${CPACK_PACKAGE_HOMEPAGE_URL}")
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's X11 backend and its JPEG reader are plugins that dpkg-shlibdeps cannot see; on
# Debian 12 both come in libqt6gui6, which the binary links anyway.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPackDeb puts the summary above this as the synopsis line and indents the rest.
set(CPACK_PACKAGE_DESCRIPTION
"A small desktop program for a school computer-science lesson: a pupil takes a
ten-question multiple-choice test on how information is encoded (raster image
memory, the information in one digit, 8-bit and 16-bit text encodings, colour
depth, audio levels). A running count of wrong answers stays on screen for the
teacher. The interface is in Russian; the program keeps no files and uses no
network.")

# The self-contained program for other Linux systems adds an .rpm and its own file names.
include(${CMAKE_CURRENT_LIST_DIR}/LinuxSelfContained.cmake)

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/")

include(CPack)
