# Installation of the system: programs in bin, the runtime library and the filter
# modules in lib/marvek, the README in share/doc/marvek (GNUInstallDirs, under the
# prefix of the user's choice). Every program and module target asks for it where
# it is defined, with one line:
#
#   marvek_install(TARGET)          a program, or a shared library the programs load
#   marvek_register_module(TARGET)  a filter module: installed, and registered by
#                                   the build's register_modules target and by the
#                                   installed marvek-register (add_filter_module
#                                   calls it)
#
# The installed files find each other through RPATHs relative to themselves, so an
# installation works from any prefix and can be moved.

include(GNUInstallDirs)

set(MARVEK_MODULE_DIR ${CMAKE_INSTALL_LIBDIR}/marvek)
set(MARVEK_SYSTEM_REGISTRY_FILE /etc/marvek/registry.txt CACHE FILEPATH
    "System-wide registry that every user's falls back to (the Debian package registers its modules there)")

function(marvek_install target)
  set_target_properties(${target} PROPERTIES MARVEK_INSTALLED ON)
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "EXECUTABLE")
    file(RELATIVE_PATH modules_from_programs
         /${CMAKE_INSTALL_BINDIR} /${MARVEK_MODULE_DIR})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${modules_from_programs}")
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  else()
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${target} LIBRARY DESTINATION ${MARVEK_MODULE_DIR})
  endif()
endfunction()

function(marvek_register_module target)
  marvek_install(${target})
  set_property(GLOBAL APPEND PROPERTY MARVEK_MODULES $<TARGET_FILE:${target}>)
endfunction()
