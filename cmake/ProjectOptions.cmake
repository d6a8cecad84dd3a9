# Warnings for the project's own targets, and helpers shared by every folder.

add_library(project_warnings INTERFACE)
target_compile_options(project_warnings INTERFACE -Wall -Wextra -Werror)

# add_project_test(NAME SOURCES... [LIBS libs...] [LABELS labels...])
# Builds a GoogleTest program and registers its cases with CTest.
# Label "threaded" marks tests that the ThreadSanitizer run must cover.
function(add_project_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock project_warnings)
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
