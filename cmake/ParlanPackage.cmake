# What `cmake --install` ships besides the programs (which their folders install through
# parlan_install_program): the libraries, the public headers, the languages, the pkg-config and
# CMake package files; and the Debian package CPack builds from it.
include(CMakePackageConfigHelpers)

set(_parlan_exported parlan parlan_static)
if(TARGET parlan_c)
  list(APPEND _parlan_exported parlan_c)
endif()
install(TARGETS ${_parlan_exported} EXPORT ParlanTargets
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
# include/parlan/ holds the public headers only.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/parlan DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}
        FILES_MATCHING PATTERN "*.h")
install(DIRECTORY ${PROJECT_SOURCE_DIR}/languages/ DESTINATION ${PARLAN_INSTALL_DATADIR}/languages)

install(EXPORT ParlanTargets NAMESPACE Parlan:: DESTINATION ${PARLAN_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/ParlanConfig.cmake.in
  ${PROJECT_BINARY_DIR}/ParlanConfig.cmake INSTALL_DESTINATION ${PARLAN_INSTALL_CMAKEDIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/ParlanConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/ParlanConfig.cmake
              ${PROJECT_BINARY_DIR}/ParlanConfigVersion.cmake
        DESTINATION ${PARLAN_INSTALL_CMAKEDIR})

# pkg-config files locate the prefix from their own folder, so a moved tree still builds hosts.
file(RELATIVE_PATH PARLAN_PC_TO_PREFIX ${CMAKE_INSTALL_FULL_LIBDIR}/pkgconfig
     ${CMAKE_INSTALL_PREFIX})
string(REGEX REPLACE "/$" "" PARLAN_PC_TO_PREFIX "${PARLAN_PC_TO_PREFIX}")
set(PARLAN_PC_REQUIRES_PRIVATE "icu-uc icu-i18n")
if(PARLAN_HAVE_ESPEAK)
  string(APPEND PARLAN_PC_REQUIRES_PRIVATE " espeak-ng sndfile libpulse-simple")
endif()
foreach(pc parlan parlan-c)
  if(pc STREQUAL "parlan-c" AND NOT TARGET parlan_c)
    continue()
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${pc}.pc.in ${PROJECT_BINARY_DIR}/${pc}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${pc}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()

# The Debian package: scripts/package. Library dependencies come from dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parlan)
set(CPACK_PACKAGE_VENDOR "Parlan developers")
set(CPACK_PACKAGE_CONTACT "Parlan developers <parlan@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Text-to-speech control library with rule-based languages")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3, pulseaudio | pipewire-pulse")
# The source tarball (parlan-<version>.tar.gz), for machines without git.
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME parlan-${PROJECT_VERSION})
set(CPACK_SOURCE_IGNORE_FILES "/[.]git$" "/[.]git/" "/build[^/]*/" "/out/" "[.]wav$" "[.]flac$"
    "compile_commands[.]json$" "__pycache__")
include(CPack)
