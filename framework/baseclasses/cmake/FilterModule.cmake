# add_filter_module(NAME SOURCES ... [LIBS ...] [ENTRY_POINTS file EXPORTS_MAP file])
# Builds a filter module: a shared object without the "lib" prefix that links
# the base classes, exports exactly DllRegisterServer, DllUnregisterServer,
# DllGetClassObject and DllCanUnloadNow (hidden visibility plus a version
# script), and is installed and registered with the other modules
# (marvek_register_module). A module with entry points of its own gives their
# source and its version script instead of the standard ModuleExports.cpp and
# exports.map.

set(STRMBASE_MODULE_DIR ${CMAKE_CURRENT_LIST_DIR}/../module CACHE INTERNAL "")

function(add_filter_module name)
    cmake_parse_arguments(ARG "" "ENTRY_POINTS;EXPORTS_MAP" "SOURCES;LIBS" ${ARGN})
    if(NOT ARG_ENTRY_POINTS)
        set(ARG_ENTRY_POINTS ${STRMBASE_MODULE_DIR}/ModuleExports.cpp)
    endif()
    if(NOT ARG_EXPORTS_MAP)
        set(ARG_EXPORTS_MAP ${STRMBASE_MODULE_DIR}/exports.map)
    endif()
    add_library(${name} SHARED ${ARG_SOURCES}
        ${ARG_ENTRY_POINTS} ${STRMBASE_MODULE_DIR}/DllEntry.cpp)
    target_link_libraries(${name} PRIVATE strmbase ${ARG_LIBS} project_warnings)
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${ARG_EXPORTS_MAP})
    target_link_options(${name} PRIVATE
        -Wl,--version-script=${ARG_EXPORTS_MAP}
        -Wl,--no-undefined)
    marvek_register_module(${name})
endfunction()
