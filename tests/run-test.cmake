# SPDX-License-Identifier: GPL-3.0-or-later
# Runs one test program. A window test runs on the platform named in QT_QPA_PLATFORM when
# the caller set one (xcb, wayland, windows), and on Qt's offscreen platform otherwise, so
# that CTest never opens windows on the developer's desktop unless asked to.
#   cmake -DTEST_PROGRAM=path [-DTEST_EMULATOR=wine] [-DTEST_WRAPPER=script.sh] -P run-test.cmake
# A Windows test program runs under the emulator (Wine). Wine keeps variables named QT_*
# from Windows programs and hands on WINEQT_* as QT_*, so Qt's settings cross that way;
# and QtTest's output does not come through a pipe from Wine, so it goes through a file.
# With TEST_WRAPPER, the program runs through that bash script (a private X screen, say).
#
# A test that failed only because LeakSanitizer's own tracer crashed at the exit, after every
# check had passed, runs once more. The tracer's stop-the-world crash is a known fault of
# the sanitizer (google/sanitizers#1353), not a leak, and no suppression reaches it. Both
# lines of its report must be there, and the test's own totals must say everything passed;
# any other sanitizer report, a failed or missing totals line, or a crash of another kind
# fails as it is, and so does a second tracer crash.
if(NOT DEFINED ENV{QT_QPA_PLATFORM} OR "$ENV{QT_QPA_PLATFORM}" STREQUAL "")
    set(ENV{QT_QPA_PLATFORM} offscreen)
endif()

# Runs the test once: sets status and output (standard output and error, in that order),
# having shown both as they came.
macro(run_test)
    if(NOT TEST_EMULATOR)
        set(command "${TEST_PROGRAM}")
        if(TEST_WRAPPER)
            set(command bash "${TEST_WRAPPER}" "${TEST_PROGRAM}")
        endif()
        execute_process(COMMAND ${command} RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors
                        ECHO_OUTPUT_VARIABLE ECHO_ERROR_VARIABLE)
        string(APPEND output "${errors}")
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
        set(output "")
        if(EXISTS "${log}")
            file(READ "${log}" output)
            message("${output}")
            file(REMOVE "${log}")
        endif()
    endif()
endmacro()

# Whether the output is that of a test that passed whole, and then lost only to the tracer.
function(only_the_tracer_crashed output result)
    set(${result} FALSE PARENT_SCOPE)
    string(FIND "${output}" "Tracer caught signal" tracer)
    string(FIND "${output}" "LeakSanitizer has encountered a fatal error" fatal)
    if(tracer EQUAL -1 OR fatal EQUAL -1)
        return()
    endif()
    foreach(report "ERROR: AddressSanitizer" "ERROR: LeakSanitizer" "runtime error:" "UndefinedBehaviorSanitizer"
                   "Received signal")
        string(FIND "${output}" "${report}" found)
        if(NOT found EQUAL -1)
            return()
        endif()
    endforeach()
    string(REGEX MATCHALL "Totals: [0-9]+ passed, [0-9]+ failed" totals "${output}")
    if(NOT totals)
        return()
    endif()
    foreach(line IN LISTS totals)
        if(NOT line MATCHES ", 0 failed$")
            return()
        endif()
    endforeach()
    set(${result} TRUE PARENT_SCOPE)
endfunction()

run_test()
if(NOT status EQUAL 0)
    only_the_tracer_crashed("${output}" tracer_only)
    if(tracer_only)
        message("run-test: every check passed, then LeakSanitizer's tracer crashed at the exit "
                "(google/sanitizers#1353, not a leak): running the test once more")
        run_test()
    endif()
endif()
if(NOT status EQUAL 0)
    if(TEST_WRAPPER)
        message(FATAL_ERROR "${TEST_PROGRAM} through ${TEST_WRAPPER}: ${status}")
    endif()
    message(FATAL_ERROR "${TEST_PROGRAM} on $ENV{QT_QPA_PLATFORM}: ${status}")
endif()
