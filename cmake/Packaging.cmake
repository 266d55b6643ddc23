# What `cmake --install` puts where, and the release archive CPack makes of it: the plug-in, the
# mevrix host program, the public header, the README and the licence. Tests, benchmarks and fuzz
# targets are never installed. The archives also hold INSTALL.txt, written for their system.

# A Windows DLL goes beside the programs in bin, as Windows looks for it there. Its import
# library is of no use to a host that loads the plug-in by path, so it is left out.
install(TARGETS mevrix
  LIBRARY DESTINATION lib
  RUNTIME DESTINATION bin
  ARCHIVE DESTINATION lib COMPONENT import_library EXCLUDE_FROM_ALL)
install(TARGETS mevrix_host RUNTIME DESTINATION bin)
install(FILES ${PROJECT_SOURCE_DIR}/include/mevrix/exports.h DESTINATION include/mevrix)
install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION share/doc/mevrix)

# The archive's name says the system and the width of the hosts it is for.
if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(package_system windows-x64)
    set(package_hosts "64-bit Windows hosts")
    set(package_other_width "a 32-bit host needs mevrix-${PROJECT_VERSION}-windows-x86.zip")
  else()
    set(package_system windows-x86)
    set(package_hosts "32-bit Windows hosts (a processor with SSE2)")
    set(package_other_width "a 64-bit host needs mevrix-${PROJECT_VERSION}-windows-x64.zip")
  endif()
  set(package_generator ZIP)
  set(package_plugin bin/mevrix.dll)
  set(package_host_program bin/mevrix.exe)
  set(package_check "bin\\mevrix.exe --lib bin\\mevrix.dll")
  set(package_line_ends CRLF)
else()
  set(package_system linux-${CMAKE_SYSTEM_PROCESSOR})
  set(package_hosts "Linux hosts (${CMAKE_SYSTEM_PROCESSOR})")
  set(package_other_width "Windows hosts need one of the Windows archives")
  set(package_generator TGZ)
  set(package_plugin lib/libmevrix.so)
  set(package_host_program bin/mevrix)
  set(package_check "bin/mevrix --lib lib/libmevrix.so")
  set(package_line_ends UNIX)
endif()

# INSTALL.txt goes to the top of the archive through CPack alone, never into an install prefix
# such as /usr/local.
set(package_notes_dir ${PROJECT_BINARY_DIR}/package_notes)
configure_file(${PROJECT_SOURCE_DIR}/cmake/INSTALL.txt.in ${package_notes_dir}/INSTALL.txt @ONLY
  NEWLINE_STYLE ${package_line_ends})

set(CPACK_PACKAGE_NAME mevrix)
set(CPACK_PACKAGE_VENDOR "The Mevrix authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME mevrix-${PROJECT_VERSION}-${package_system})
set(CPACK_GENERATOR ${package_generator})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_INSTALLED_DIRECTORIES ${package_notes_dir} .)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_SOURCE_DIR}/dist)
# Installing builds only what is installed (scripts/package builds those targets first), not
# the tests and benchmarks of the whole tree.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
