# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one window test on the platform named in QT_QPA_PLATFORM when the caller set one
# (xcb, wayland), and on Qt's offscreen platform otherwise, so that CTest never opens
# windows on the developer's desktop unless asked to.
#   cmake -DTEST_PROGRAM=path -P window-test.cmake
if(NOT DEFINED ENV{QT_QPA_PLATFORM} OR "$ENV{QT_QPA_PLATFORM}" STREQUAL "")
    set(ENV{QT_QPA_PLATFORM} offscreen)
endif()
execute_process(COMMAND "${TEST_PROGRAM}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TEST_PROGRAM} on $ENV{QT_QPA_PLATFORM}: ${status}")
endif()
