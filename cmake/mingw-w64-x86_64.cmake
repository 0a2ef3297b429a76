# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, which
# Qt's threads need). Used to build Qt itself for Windows; the program is then configured with
# the toolchain file that Qt installs, which reads this one in.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZNAYDAR_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZNAYDAR_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZNAYDAR_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZNAYDAR_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZNAYDAR_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# No MinGW runtime DLL beside the program: libgcc, libstdc++ and winpthread go inside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
