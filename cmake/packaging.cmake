# What `cmake --install` puts where, and the packages CPack makes of it.
# Included from the top-level CMakeLists.txt after every target exists.
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
  install(TARGETS TarvoSearch tarvo-find RUNTIME DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/docs/index.html DESTINATION docs)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGES DESTINATION .)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME TarvoSearch-${PROJECT_VERSION}-win64)
else()
  include(GNUInstallDirs)
  install(TARGETS tarvo-find RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${CMAKE_SOURCE_DIR}/docs/tarvo-find.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${CMAKE_SOURCE_DIR}/cli/tarvo-find.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tarvo-find)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/CHANGES
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

if(TARVO_BUILD_TESTS)
  if(WIN32)
    set(_package_mode windows)
  else()
    set(_package_mode linux)
  endif()
  add_test(NAME package.${_package_mode}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/package/package_test.sh ${_package_mode}
            ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(package.${_package_mode} PROPERTIES TIMEOUT 120)
endif()
