/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Read before every C and C++ source of the self-contained Linux program and its Qt
 * (cmake/linux-x86_64.cmake). They are compiled against Debian 11's glibc 2.31 but must start
 * on glibc 2.28, and the dynamic loader refuses a program that asks for a symbol version
 * the system's C library does not have.
 *
 * glibc 2.29 gave exp, exp2, log, log2 and pow faster versions under new symbol versions;
 * the first ones stay in every later glibc under their old version, and are asked for by
 * that. GCC 10's C++ library waits on a steady clock with pthread_cond_clockwait and locks
 * with pthread_mutex_clocklock and pthread_rwlock_clock*lock where the C library has them
 * (glibc 2.30); without them it waits by the system clock, as on older systems.
 * tests/check-program.sh proves the result symbol by symbol. */
#ifndef ZNAYDAR_LINUX_GLIBC_2_28_H
#define ZNAYDAR_LINUX_GLIBC_2_28_H

__asm__(".symver exp,exp@GLIBC_2.2.5");
__asm__(".symver exp2,exp2@GLIBC_2.2.5");
__asm__(".symver log,log@GLIBC_2.2.5");
__asm__(".symver log2,log2@GLIBC_2.2.5");
__asm__(".symver pow,pow@GLIBC_2.2.5");

#ifdef __cplusplus
#include <bits/c++config.h>
#undef _GLIBCXX_USE_PTHREAD_COND_CLOCKWAIT
#undef _GLIBCXX_USE_PTHREAD_MUTEX_CLOCKLOCK
#undef _GLIBCXX_USE_PTHREAD_RWLOCK_CLOCKLOCK
#endif

#endif
