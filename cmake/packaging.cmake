# The packages CPack makes of what `cmake --install` puts where. Each room
# installs its own programs and files (cli/, shell/); this adds the README
# and CHANGES. Included from the top-level CMakeLists.txt after the rooms.
#
# Linux: tarvo-find with its man page and bash completion, under the usual
# prefix layout (bin/, share/man/man1/, share/bash-completion/completions/),
# packed as a .deb (tarvo-search) and a .tar.gz.
# Windows: one folder holding both programs, the user guide in docs\ beside
# them (where Help looks for it), README and CHANGES, packed as a ZIP.

set(CPACK_PACKAGE_NAME TarvoSearch)
set(CPACK_PACKAGE_VENDOR "Tarvo Search")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Find lines in source trees and rank them, best first")
set(CPACK_PACKAGE_CONTACT "Tarvo Search developers")
set(CPACK_STRIP_FILES ON)

if(WIN32)
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGES DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME TarvoSearch-${PROJECT_VERSION}-win64)
else()
  install(FILES ${PROJECT_SOURCE_DIR}/README.md ${PROJECT_SOURCE_DIR}/CHANGES
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tarvo-search)
  set(CPACK_GENERATOR DEB TGZ)
  set(CPACK_DEBIAN_PACKAGE_NAME tarvo-search)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  # The C and C++ libraries the binary links, as dpkg-shlibdeps finds them.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_PACKAGE_FILE_NAME tarvo-search-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR})
endif()

include(CPack)
