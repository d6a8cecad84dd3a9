# add_filter_module(NAME SOURCES ... [LIBS ...])
# Builds a filter module: a shared object without the "lib" prefix that links
# the base classes, exports exactly DllRegisterServer, DllUnregisterServer,
# DllGetClassObject and DllCanUnloadNow (hidden visibility plus a version
# script), and is installed and registered with the other modules
# (marvek_register_module).

set(STRMBASE_MODULE_DIR ${CMAKE_CURRENT_LIST_DIR}/../module CACHE INTERNAL "")

function(add_filter_module name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_library(${name} SHARED ${ARG_SOURCES}
        ${STRMBASE_MODULE_DIR}/ModuleExports.cpp ${STRMBASE_MODULE_DIR}/DllEntry.cpp)
    target_link_libraries(${name} PRIVATE strmbase ${ARG_LIBS} project_warnings)
    set_target_properties(${name} PROPERTIES
        PREFIX ""
        CXX_VISIBILITY_PRESET hidden
        VISIBILITY_INLINES_HIDDEN ON
        LINK_DEPENDS ${STRMBASE_MODULE_DIR}/exports.map)
    target_link_options(${name} PRIVATE
        -Wl,--version-script=${STRMBASE_MODULE_DIR}/exports.map
        -Wl,--no-undefined)
    marvek_register_module(${name})
endfunction()
