# The register_modules target: registers every module of the build into one
# registry file with regsvr.
#
# Contract for module folders: each module target calls marvek_register_module
# (cmake/MarvekInstall.cmake; add_filter_module does), which appends its file to the
# global property MARVEK_MODULES. The list is read once the whole tree has been
# configured. The registry written
# is MARVEK_REGISTER_REGISTRY (default: registry.txt in the build folder, so a
# build never touches the user's registry). The list of module files is also
# written to marvek_modules.txt in the build folder, one path a line, for scripts
# and tests that register modules themselves; the marvek_modules target builds them.

set(MARVEK_REGISTER_REGISTRY "${CMAKE_BINARY_DIR}/registry.txt"
    CACHE FILEPATH "Registry file that the register_modules target writes")

function(marvek_add_register_modules_target)
    get_property(modules GLOBAL PROPERTY MARVEK_MODULES)
    string(REPLACE ";" "\n" module_lines "${modules}")
    file(GENERATE OUTPUT ${CMAKE_BINARY_DIR}/marvek_modules.txt CONTENT "${module_lines}\n")
    # marvek_modules builds every module: tests that register them all depend on it.
    # The target names are inside the $<TARGET_FILE:...> entries.
    add_custom_target(marvek_modules)
    string(REGEX MATCHALL "\\$<TARGET_FILE:[^>]+>" entries "${modules}")
    foreach(entry IN LISTS entries)
        string(REGEX REPLACE "\\$<TARGET_FILE:([^>]+)>" "\\1" target "${entry}")
        add_dependencies(marvek_modules ${target})
    endforeach()
    if(NOT modules)
        add_custom_target(register_modules
            COMMAND ${CMAKE_COMMAND} -E echo "No modules to register"
            VERBATIM)
        return()
    endif()
    add_custom_target(register_modules
        COMMAND ${CMAKE_COMMAND} -E env MARVEK_REGISTRY=${MARVEK_REGISTER_REGISTRY}
                $<TARGET_FILE:regsvr> -s ${modules}
        COMMENT "Registering the modules into ${MARVEK_REGISTER_REGISTRY}"
        VERBATIM)
    add_dependencies(register_modules marvek_modules)
endfunction()

cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL marvek_add_register_modules_target)
