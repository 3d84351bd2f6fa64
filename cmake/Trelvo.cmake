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
    set_tests_properties(${name} PROPERTIES LABELS "${labels}" TIMEOUT ${T_TIMEOUT}
        WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}
        PASS_REGULAR_EXPRESSION "\\[  PASSED  \\]"
        FAIL_REGULAR_EXPRESSION "\\[  FAILED  \\]")
endfunction()
