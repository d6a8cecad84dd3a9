# Warnings for the project's own targets, and helpers shared by every folder.

add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE -Wall -Wextra -Werror)

# TESTS_LABEL, when set, registers only the tests carrying that label, and target
# labelled_tests builds just them and what they run, so that a build made to run one
# kind of test (the ThreadSanitizer build) compiles no others.
set(TESTS_LABEL "" CACHE STRING "Build only the tests with this label (empty: every test)")

function(add_labelled_tests_target)
  if(TESTS_LABEL)
    get_property(tests GLOBAL PROPERTY PROJECT_LABELLED_TESTS)
    add_custom_target(labelled_tests)
    add_dependencies(labelled_tests ${tests})
  endif()
endfunction()

# project_test_headers: the test framework's headers, compiled once per build tree and
# reused by every test program; parsing them costs more than most test files. It is a
# program like the tests, because a precompiled header fits only code compiled alike.
function(add_project_test_headers)
  add_executable(project_test_headers ${PROJECT_SOURCE_DIR}/cmake/project_test_headers.cpp)
  target_link_libraries(project_test_headers PRIVATE GTest::gtest GTest::gtest_main GTest::gmock project_warnings)
  target_precompile_headers(project_test_headers PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
endfunction()

# add_project_test(NAME SOURCES... [LIBS libs...] [LABELS labels...] [OWN_TEST_HEADERS])
# Builds a GoogleTest program and registers its cases with CTest.
# Label "threaded" marks tests that the ThreadSanitizer run must cover. OWN_TEST_HEADERS
# is for a test whose libraries change how it is compiled (Qt asks for -fPIC): it
# precompiles the test framework's headers for itself.
function(add_project_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(ARG "OWN_TEST_HEADERS" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock project_warnings)
  if(TESTS_LABEL)
    if(NOT TESTS_LABEL IN_LIST ARG_LABELS)
      return()
    endif()
    set_property(GLOBAL APPEND PROPERTY PROJECT_LABELLED_TESTS ${name})
  endif()
  if(ARG_OWN_TEST_HEADERS)
    target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
  else()
    target_precompile_headers(${name} REUSE_FROM project_test_headers)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${ARG_LABELS}"
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# add_subdirectory_if_present(dir): lets a folder add its parts as they appear.
macro(add_subdirectory_if_present dir)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/CMakeLists.txt)
    add_subdirectory(${dir})
  endif()
endmacro()

# add_test_subdirectory(dir): a folder of tests, added only when tests are built.
macro(add_test_subdirectory dir)
  if(BUILD_TESTING)
    add_subdirectory_if_present(${dir})
  endif()
endmacro()
