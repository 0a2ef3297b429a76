# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one test program. A window test runs on the platform named in QT_QPA_PLATFORM when
# the caller set one (xcb, wayland, windows), and on Qt's offscreen platform otherwise, so
# that CTest never opens windows on the developer's desktop unless asked to.
#   cmake -DTEST_PROGRAM=path [-DTEST_EMULATOR=wine] -P run-test.cmake
# A Windows test program runs under the emulator (Wine). Wine keeps variables named QT_*
# from Windows programs and hands on WINEQT_* as QT_*, so Qt's settings cross that way;
# and QtTest's output does not come through a pipe from Wine, so it goes through a file.
if(NOT DEFINED ENV{QT_QPA_PLATFORM} OR "$ENV{QT_QPA_PLATFORM}" STREQUAL "")
    set(ENV{QT_QPA_PLATFORM} offscreen)
endif()
if(NOT TEST_EMULATOR)
    execute_process(COMMAND "${TEST_PROGRAM}" RESULT_VARIABLE status)
else()
    foreach(setting QT_QPA_PLATFORM QT_SCALE_FACTOR EXPECT_DEVICE_PIXEL_RATIO)
        if(DEFINED ENV{${setting}})
            set(ENV{WINE${setting}} "$ENV{${setting}}")
        endif()
    endforeach()
    get_filename_component(name "${TEST_PROGRAM}" NAME_WE)
    string(RANDOM LENGTH 8 run)
    set(log "${CMAKE_CURRENT_BINARY_DIR}/${name}-${run}.txt")
    execute_process(COMMAND ${TEST_EMULATOR} "${TEST_PROGRAM}" -o "${log},txt" RESULT_VARIABLE status)
    if(EXISTS "${log}")
        file(READ "${log}" output)
        message("${output}")
        file(REMOVE "${log}")
    endif()
endif()
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TEST_PROGRAM} on $ENV{QT_QPA_PLATFORM}: ${status}")
endif()
