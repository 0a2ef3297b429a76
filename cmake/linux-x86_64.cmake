# SPDX-License-Identifier: GPL-3.0-or-later
# The self-contained Linux program and the static Qt it carries, compiled on Debian 11 with
# its GCC 10 (scripts/linux.sh). Used to build Qt itself; the program is then configured
# with the toolchain file that Qt installs, which reads this one in.
#
# The program must start on glibc 2.28 (Astra Linux 1.7, RED OS 7.3): every source is read
# after linux-glibc-2.28.h, which keeps the C library's newer functions out, and the C++
# runtime and GCC's own support library go inside the program, as no two systems have the
# same ones. Sections of their own for every function and datum let the linker drop what
# the window never reaches, and --as-needed names only the libraries the program calls.
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(ZNAYDAR_GLIBC_FLOOR "-include ${CMAKE_CURRENT_LIST_DIR}/linux-glibc-2.28.h")
set(CMAKE_C_FLAGS_INIT "${ZNAYDAR_GLIBC_FLOOR} -ffunction-sections -fdata-sections")
set(CMAKE_CXX_FLAGS_INIT "${ZNAYDAR_GLIBC_FLOOR} -ffunction-sections -fdata-sections")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libstdc++ -static-libgcc -Wl,--gc-sections -Wl,--as-needed")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libstdc++ -static-libgcc -Wl,--as-needed")
