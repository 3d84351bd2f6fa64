# Helpers shared by every folder's CMakeLists.txt.

# Warnings for our own targets (not for GoogleTest's).
function(trelvo_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
        target_compile_options(${target} PRIVATE -Werror=conditionally-supported)
    endif()
    if(TRELVO_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

# trelvo_library(name src...): a static library of one folder; the repository root is its include root,
# so code includes "core/StringW.h".
function(trelvo_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_compile_features(${name} PUBLIC cxx_std_17)
    if(WIN32)
        target_compile_definitions(${name} PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
    endif()
    trelvo_warnings(${name})
endfunction()

# trelvo_test_timeout(test seconds): the test's time limit, doubled where the Windows programs run on an
# emulated CPU (qemu registered for i386 programs, or forced by TRELVO_EMULATE=1: see tools/wine-session).
# A loaded host takes twice what a quiet one does there (app_tests: 350 to 460 s quiet, 816 s at a load
# of 9 to 14), while the limits hold far more than a native host needs (app_tests: 165 s at a load of 9).
set(TRELVO_EMULATED_HOST OFF)
if(WIN32 AND CMAKE_HOST_UNIX)
    set(binfmt /proc/sys/fs/binfmt_misc/qemu-i386)
    if(EXISTS ${binfmt})
        file(STRINGS ${binfmt} state LIMIT_COUNT 1)
    endif()
    if("$ENV{TRELVO_EMULATE}" STREQUAL "1" OR "${state}" STREQUAL "enabled")
        set(TRELVO_EMULATED_HOST ON)
    endif()
endif()
function(trelvo_test_timeout test seconds)
    if(TRELVO_EMULATED_HOST)
        math(EXPR seconds "${seconds} * 2")
    endif()
    set_tests_properties(${test} PROPERTIES TIMEOUT ${seconds})
endfunction()

# trelvo_test(name LABEL label SOURCES src... LIBS lib... [GUI] [TIMEOUT s]): one GoogleTest program,
# registered in CTest; under the cross build it runs through the Wine emulator.
function(trelvo_test name)
    cmake_parse_arguments(T "GUI" "LABEL;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    if(WIN32)
        list(APPEND T_SOURCES ${PROJECT_SOURCE_DIR}/tests/QuietFaults.cpp)
    endif()
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main GTest::gmock)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    trelvo_warnings(${name})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 300)
    endif()
    add_test(NAME ${name} COMMAND ${name} --gtest_color=no)
    set(labels ${T_LABEL})
    if(T_GUI)
        list(APPEND labels gui)
        set_tests_properties(${name} PROPERTIES RUN_SERIAL TRUE)
    endif()
    # A program cut off without a failure (a Wine process killed with exit code 0) must not pass:
    # GoogleTest's closing summary has to be there.
    trelvo_test_timeout(${name} ${T_TIMEOUT})
    set_tests_properties(${name} PROPERTIES LABELS "${labels}"
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
        FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
endfunction()
