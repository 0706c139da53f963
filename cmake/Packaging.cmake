# The Debian package of the Linux program: whatever `cmake --install` puts
# under the prefix, placed under /usr, with the shared-library dependencies
# worked out by dpkg-shlibdeps from the binaries themselves, and the
# documentation Debian expects of a package (its checker, lintian, passes it
# with no error or warning: docs/packaging.md).
set(VYLA_MAINTAINER "Vyla developers <vyla@users.noreply.github.com>")

install(FILES README.md DESTINATION share/doc/vyla)
# A native package's history, in Debian's changelog format; its newest entry
# is the version the package carries.
vyla_install_gzipped(${PROJECT_SOURCE_DIR}/cmake/debian/changelog share/doc/vyla)

# The licence as Debian keeps it, in the machine-readable copyright format:
# the copyright line and the text of LICENSE, the text as continuation lines
# (a blank line becomes " .").
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/LICENSE)
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
if(NOT licence MATCHES "Copyright \\(c\\) ([^\n]+)\n\n(.+)$")
  message(FATAL_ERROR "LICENSE: no \"Copyright (c) ...\" line followed by a blank line and the licence")
endif()
set(VYLA_COPYRIGHT "${CMAKE_MATCH_1}")
string(STRIP "${CMAKE_MATCH_2}" text)
string(REGEX REPLACE "\n[ \t]*\n" "\n.\n" text "${text}")
string(REPLACE "\n" "\n " VYLA_LICENCE_TEXT " ${text}")
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/copyright.in ${PROJECT_BINARY_DIR}/copyright @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION share/doc/vyla)

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
# Lines under 80 columns; CPack indents them and writes the blank one as " .".
set(CPACK_PACKAGE_DESCRIPTION [[
Vyla leaves the desktop picture visible, darkens a fine lace border into
it and turns a crimson or white flower at each corner of the screen, with
an optional slideshow of half-tone silhouettes inside the border. A small
settings dialog (vyla /c) chooses the colour, the speed and the slideshow.

It runs on its own, started by an idle watcher such as xautolock, and as a
hack of the X screen-saver daemon, whose settings program lists it as Vyla.
]])
set(CPACK_PACKAGE_CONTACT "${VYLA_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VYLA_MAINTAINER}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${VYLA_DEB_ARCH})
# Where Debian files its screen savers (xscreensaver-data is in x11 too).
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS xscreensaver)
set(CPACK_DEBIAN_FILE_NAME "vyla_${PROJECT_VERSION}_${VYLA_DEB_ARCH}.deb")
set(VYLA_DEB_FILE "${PROJECT_BINARY_DIR}/${CPACK_DEBIAN_FILE_NAME}")
include(CPack)
