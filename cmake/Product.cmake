# SPDX-License-Identifier: GPL-3.0-or-later
# Who the program is and who makes it, in one place beside project(), which holds the version.
# The Windows version information, both Windows installers, the Debian package and the tests
# (through product.env in the build folder) all take these from here.

# The name a pupil and a teacher see, and its Latin spelling where only ASCII will do (file
# names, the uninstall key).
set(ZNAYDAR_NAME "Знайдар")
set(ZNAYDAR_NAME_LATIN "Znaydar")
set(ZNAYDAR_SUMMARY_RU "тест по теме «Кодирование информации»")
set(ZNAYDAR_PUBLISHER "Znaydar contributors")
set(ZNAYDAR_COPYRIGHT "© 2026 Znaydar contributors")
set(ZNAYDAR_LICENCE "GPL-3.0-or-later")
set(ZNAYDAR_LICENCE_RU "Лицензия GNU GPL версии 3 или новее")
set(ZNAYDAR_HOMEPAGE "https://github.com/znaydar/znaydar")
# The NSIS installer's entry under HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall.
# The MSI's entry is under its ProductCode, a new one for every build; what ties its versions
# together is the UpgradeCode, which must never change, or a new MSI would install beside the
# old one instead of replacing it.
set(ZNAYDAR_UNINSTALL_KEY "Znaydar")
set(ZNAYDAR_UPGRADE_CODE "B1F89177-AEC0-47D3-AA91-3C78FB481459")

# The same for the scripts and tests, to source from the build folder.
file(WRITE ${CMAKE_BINARY_DIR}/product.env
"# Written by CMake from cmake/Product.cmake and project(); not to be edited.
name='${ZNAYDAR_NAME}'
name_latin='${ZNAYDAR_NAME_LATIN}'
version='${PROJECT_VERSION}'
publisher='${ZNAYDAR_PUBLISHER}'
homepage='${ZNAYDAR_HOMEPAGE}'
licence='${ZNAYDAR_LICENCE}'
uninstall_key='${ZNAYDAR_UNINSTALL_KEY}'
upgrade_code='${ZNAYDAR_UPGRADE_CODE}'
# What the Windows build's installer target makes, under the build folder.
exe=dist/znaydar.exe
installer=dist/znaydar-${PROJECT_VERSION}-setup.exe
msi=dist/znaydar-${PROJECT_VERSION}.msi
")
