# SPDX-License-Identifier: GPL-3.0-or-later
# Who the program is and who makes it, in one place beside project(), which holds the version.
# The window, the Windows version information, both Windows installers, the Debian package,
# the scripts and the tests take these from here: the code through the configured header
# Product.h, the scripts and tests through product.env in the build folder.

# The name a pupil and a teacher see, and its Latin spelling where only ASCII will do (file
# names, the uninstall key).
set(ZNAYDAR_NAME "Знайдар")
set(ZNAYDAR_NAME_LATIN "Znaydar")
# What it is, in a line: a screen reader says it on meeting the window, and the Start menu
# shortcuts show it. After the name and a dash, as in the Windows version information, it
# goes on in lower case.
set(ZNAYDAR_SUMMARY_RU "Тест по теме «Кодирование информации»")
string(REGEX REPLACE "^Тест" "тест" ZNAYDAR_SUMMARY_RU_AFTER_NAME "${ZNAYDAR_SUMMARY_RU}")
# The desktop's name for the program: its menu entry, metainfo and themed icon, and the
# name the running window gives itself so that a dock finds its entry. The files in data/
# are named by it.
set(ZNAYDAR_APP_ID io.github.znaydar.Znaydar)
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

# The same for the program's code, as a header in the build folder,
configure_file(${CMAKE_CURRENT_LIST_DIR}/Product.h.in ${CMAKE_BINARY_DIR}/product/Product.h @ONLY)
add_library(product INTERFACE)
target_include_directories(product INTERFACE ${CMAKE_BINARY_DIR}/product)

# and for the scripts and tests, to source from the build folder.
file(WRITE ${CMAKE_BINARY_DIR}/product.env
"# Written by CMake from cmake/Product.cmake and project(); not to be edited.
name='${ZNAYDAR_NAME}'
name_latin='${ZNAYDAR_NAME_LATIN}'
summary_ru='${ZNAYDAR_SUMMARY_RU}'
app_id='${ZNAYDAR_APP_ID}'
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
