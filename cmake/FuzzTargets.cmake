# Fuzz targets: every parser of the system has one, a source file that defines
# LLVMFuzzerTestOneInput, FuzzSeeds and FuzzTokens (see fuzz/fuzz_support.h).
#
# add_fuzz_library(NAME SOURCES... [INCLUDES dirs...])
#   With FUZZ=ON: a static library of the parser's sources compiled with coverage
#   and sanitizer instrumentation, for the fuzz targets to link.
# add_fuzz_target(NAME SOURCE file.cpp [INCLUDES dirs...] LIBS libs... FUZZ_LIBS libs...)
#   With FUZZ=ON (clang): NAME_fuzzer, a libFuzzer program linked with FUZZ_LIBS.
#   Otherwise, when tests are built: NAME_fuzz_replay linked with LIBS, a test
#   that replays the seeds, their truncations and deterministic mutations.
#   Add NAME_fuzzer to the fuzz build preset's targets too: scripts/fuzz.sh runs
#   every fuzzer that preset builds.

set(FUZZ_SUPPORT_DIR ${CMAKE_CURRENT_LIST_DIR}/../fuzz)
set(FUZZ_FLAGS -fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all)

function(add_fuzz_library name)
  if(NOT FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;INCLUDES" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${ARG_INCLUDES})
  target_compile_options(${name} PRIVATE ${FUZZ_FLAGS})
endfunction()

function(add_fuzz_target name)
  cmake_parse_arguments(ARG "" "SOURCE" "INCLUDES;LIBS;FUZZ_LIBS" ${ARGN})
  if(FUZZ)
    set(program ${name}_fuzzer)
    add_executable(${program} ${ARG_SOURCE} ${FUZZ_SUPPORT_DIR}/fuzz_initialize.cpp)
    target_compile_options(${program} PRIVATE ${FUZZ_FLAGS})
    target_link_options(${program} PRIVATE -fsanitize=fuzzer,address,undefined)
    target_link_libraries(${program} PRIVATE ${ARG_FUZZ_LIBS} project_warnings)
  elseif(BUILD_TESTING AND NOT TESTS_LABEL)
    set(program ${name}_fuzz_replay)
    add_executable(${program} ${ARG_SOURCE} ${FUZZ_SUPPORT_DIR}/fuzz_replay.cpp)
    target_link_libraries(${program} PRIVATE ${ARG_LIBS} project_warnings)
    add_test(NAME ${program} COMMAND ${program})
  else()
    return()
  endif()
  target_include_directories(${program} PRIVATE ${FUZZ_SUPPORT_DIR} ${ARG_INCLUDES})
endfunction()
