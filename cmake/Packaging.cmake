# The Debian package of the Linux program: whatever `cmake --install` puts
# under the prefix, placed under /usr, with the shared-library dependencies
# worked out by dpkg-shlibdeps from the binaries themselves.
install(FILES README.md DESTINATION share/doc/vyla)
# Debian keeps a package's licence under this name.
install(FILES LICENSE DESTINATION share/doc/vyla RENAME copyright)

execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE VYLA_DEB_ARCH OUTPUT_STRIP_TRAILING_WHITESPACE
                RESULT_VARIABLE arch_result ERROR_QUIET)
if(NOT arch_result EQUAL 0 OR VYLA_DEB_ARCH STREQUAL "")
  message(STATUS "dpkg not found: no Debian package")
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vyla)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "animated screen saver: a lace border and turning flowers over the desktop")
set(CPACK_PACKAGE_DESCRIPTION
    "Vyla leaves the desktop picture visible, darkens a lace border into it and turns a flower at each corner of the screen, with an optional slideshow of half-tone silhouettes. It runs on its own (for an idle watcher) and as a hack of the X screen-saver daemon.")
set(CPACK_PACKAGE_CONTACT "Vyla developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${VYLA_DEB_ARCH})
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_DEBIAN_FILE_NAME "vyla_${PROJECT_VERSION}_${VYLA_DEB_ARCH}.deb")
set(VYLA_DEB_FILE "${PROJECT_BINARY_DIR}/${CPACK_DEBIAN_FILE_NAME}")
include(CPack)
