# Install layout shared by every target that ships (GNUInstallDirs, relative run paths so that an
# installed tree still works after it is moved).
#
# A folder that ships a program calls parlan_install_program(TARGET); one that ships a library
# loaded by others (a front, a module) calls parlan_install_library(TARGET). Data goes below
# ${PARLAN_INSTALL_DATADIR}.
include(GNUInstallDirs)

set(PARLAN_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/parlan)
set(PARLAN_INSTALL_CMAKEDIR ${CMAKE_INSTALL_LIBDIR}/cmake/Parlan)
set(PARLAN_INSTALL_PYTHONDIR lib/python3/dist-packages CACHE STRING
    "Where the parlan Python package is installed, relative to the prefix")

file(RELATIVE_PATH _parlan_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})

# $ORIGIN-relative run path from a folder below the prefix to the library folder.
function(parlan_rpath_from out_var folder)
  file(RELATIVE_PATH rel ${CMAKE_INSTALL_PREFIX}/${folder} ${CMAKE_INSTALL_FULL_LIBDIR})
  if(rel STREQUAL "")
    set(${out_var} "$ORIGIN" PARENT_SCOPE)
  else()
    set(${out_var} "$ORIGIN/${rel}" PARENT_SCOPE)
  endif()
endfunction()

function(parlan_install_program target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN/${_parlan_bin_to_lib}")
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

function(parlan_install_library target)
  set_target_properties(${target} PROPERTIES INSTALL_RPATH "$ORIGIN")
  install(TARGETS ${target} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
          ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()
