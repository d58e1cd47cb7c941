# Installs the manual pages and the package's documents, and describes the Debian package that
# CPack makes from all the install rules (scripts/package.sh runs it). The version is the
# project's; only the Debian revision is kept here.
if(WIN32)
  return()
endif()
include(GNUInstallDirs)

set(TESSIVER_DEBIAN_REVISION 1)
set(TESSIVER_MAINTAINER "Corvessa <tessiver@corvessa.example>")
set(TESSIVER_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tessiver)

# Debian wants manual pages and changelogs compressed, without a time stamp in the gzip header.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(compressed)
function(tessiver_compress source name)
  set(copy ${CMAKE_BINARY_DIR}/packaging/${name})
  add_custom_command(
    OUTPUT ${copy}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${copy}
    COMMAND ${GZIP_PROGRAM} -9nf ${copy}
    DEPENDS ${source}
    VERBATIM)
  set(compressed ${compressed} ${copy}.gz PARENT_SCOPE)
endfunction()

set(pages tessiver-table.1)
if(TARGET tessiver)
  list(APPEND pages tessiver.1)
endif()
foreach(page IN LISTS pages)
  tessiver_compress(${CMAKE_SOURCE_DIR}/docs/man/${page} ${page})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()

set(TESSIVER_DEB_VERSION ${PROJECT_VERSION}-${TESSIVER_DEBIAN_REVISION})
configure_file(${CMAKE_SOURCE_DIR}/packaging/changelog.Debian.in
               ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.in @ONLY)
tessiver_compress(${CMAKE_BINARY_DIR}/packaging/changelog.Debian.in changelog.Debian)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.Debian.gz DESTINATION ${TESSIVER_DOC_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright DESTINATION ${TESSIVER_DOC_DIR})
add_custom_target(tessiver-packaging-files ALL DEPENDS ${compressed})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessiver)
set(CPACK_PACKAGE_VENDOR Corvessa)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "compare two text files side by side")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessiver compares two text files line by line and shows them side by side:
the source on the left, the target on the right, one row per aligned pair of
lines, with line numbers, colours by row kind and difference rows highlighted.
F7 and Shift+F7 jump between differences, F5 compares again.

Its alignment is a single forward pass with bounded look-ahead, so a
comparison costs time linear in the input and stays fast on files of millions
of lines.

The package also holds tessiver-table, which prints the same comparison as a
tab-separated table, with an exit status for scripts.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TESSIVER_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TESSIVER_DEBIAN_REVISION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
