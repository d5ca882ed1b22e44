# Install layout shared by every target that ships (GNUInstallDirs, relative run paths so that an
# installed tree still works after it is moved).
#
# A folder that ships a program calls parlan_install_program(TARGET); one that ships a library
# of a front calls parlan_install_library(TARGET) (libraries exported in the CMake package are
# listed in ParlanPackage.cmake instead). Data goes below ${PARLAN_INSTALL_DATADIR}.
include(GNUInstallDirs)

set(PARLAN_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/parlan)
set(PARLAN_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Parlan)
set(PARLAN_INSTALL_PYTHONDIR lib/python3/dist-packages CACHE STRING
    "Where the parlan Python package is installed, relative to the prefix")

# $ORIGIN-relative run path from a folder below the prefix to the library folder.
function(parlan_rpath_from out_var folder)
  file(RELATIVE_PATH rel ${CMAKE_INSTALL_PREFIX}/${folder} ${CMAKE_INSTALL_FULL_LIBDIR})
  if(rel STREQUAL "")
    set(${out_var} "$ORIGIN" PARENT_SCOPE)
  else()
    set(${out_var} "$ORIGIN/${rel}" PARENT_SCOPE)
  endif()
endfunction()

# parlan_install_program(TARGET [DESTINATION DIR]): a program, into the program folder or DIR
# (relative to the prefix, e.g. lib/speech-dispatcher-modules), finding the libraries from there.
function(parlan_install_program target)
  cmake_parse_arguments(arg "" "DESTINATION" "" ${ARGN})
  if(NOT arg_DESTINATION)
    set(arg_DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
  parlan_rpath_from(rpath ${arg_DESTINATION})
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "${rpath}")
  install(TARGETS ${target} RUNTIME DESTINATION ${arg_DESTINATION})
endfunction()

# parlan_install_library(TARGET): a library of a front, beside libparlan.
function(parlan_install_library target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${target} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()
