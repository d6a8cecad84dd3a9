# The standard library headers the project's libraries include most, precompiled once
# per build tree and reused by every library and module: parsing them is most of the
# time the compiler spends on a file of this project. Programs other than the tests
# (which reuse the test framework's headers) compile as they are. Libraries that link
# Qt are left alone, as Qt changes how they are compiled; so is the fuzz build, whose
# targets carry instrumentation options of their own.

set(PROJECT_STD_HEADERS
    <algorithm> <array> <atomic> <chrono> <condition_variable> <cstddef> <cstdint>
    <cstdio> <cstdlib> <cstring> <cwchar> <deque> <filesystem> <functional> <map>
    <memory> <mutex> <new> <optional> <span> <string> <string_view> <thread> <utility>
    <vector>)

function(collect_targets directory out)
  get_property(targets DIRECTORY ${directory} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirectories DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
  foreach(subdirectory ${subdirectories})
    collect_targets(${subdirectory} more)
    list(APPEND targets ${more})
  endforeach()
  set(${out} ${targets} PARENT_SCOPE)
endfunction()

function(library_takes_project_headers target out)
  set(${out} FALSE PARENT_SCOPE)
  get_target_property(type ${target} TYPE)
  if(NOT type MATCHES "^(STATIC|SHARED|MODULE|OBJECT)_LIBRARY$")
    return()
  endif()
  get_target_property(libraries ${target} LINK_LIBRARIES)
  if(libraries MATCHES "Qt6::")
    return()
  endif()
  set(${out} TRUE PARENT_SCOPE)
endfunction()

# Called once every folder is added.
function(precompile_project_headers)
  if(FUZZ)
    return()
  endif()
  add_library(project_headers STATIC ${PROJECT_SOURCE_DIR}/cmake/project_headers.cpp)
  target_precompile_headers(project_headers PRIVATE ${PROJECT_STD_HEADERS})
  collect_targets(${PROJECT_SOURCE_DIR} targets)
  foreach(target ${targets})
    library_takes_project_headers(${target} takes)
    if(takes AND NOT target STREQUAL project_headers)
      target_precompile_headers(${target} REUSE_FROM project_headers)
    endif()
  endforeach()
endfunction()
