# Install rules and the Debian package (cpack -G DEB, see scripts/package.sh): the four programs, their
# manual pages, the menu entry, the saved sessions' file type, the icon, the AppStream metainfo, the
# changelog and the copyright file.
# The version is the project version; the release date and the maintainer are set here.

set(AURIVO_APP_ID com.aurivo.UsbMonitor) # names the menu entry, the icon and the metainfo
set(AURIVO_RELEASE_DATE 2026-12-06)
set(AURIVO_RELEASE_DATE_RFC2822 "Sun, 06 Dec 2026 12:00:00 +0000")
set(AURIVO_MAINTAINER "Aurivo USB monitor developers <aurivo-usb@aurivo.invalid>"
    CACHE STRING "Maintainer named in the Debian package")
set(AURIVO_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/aurivo-usb)
set(pkg ${CMAKE_CURRENT_SOURCE_DIR}/packaging)
set(out ${CMAKE_CURRENT_BINARY_DIR}/packaging)

configure_file(${pkg}/metainfo.xml.in ${out}/${AURIVO_APP_ID}.metainfo.xml @ONLY)
configure_file(${pkg}/changelog.in ${out}/changelog @ONLY)

# Manual pages and the changelog go in compressed and without time stamps, as Debian wants them.
set(compressed)
foreach(file man/aurivo-usb.1 man/aurivo-sim.1 man/aurivo-dump.1 man/aurivo-export.1 changelog)
  set(input ${pkg}/${file})
  if(file STREQUAL "changelog")
    set(input ${out}/changelog)
  endif()
  add_custom_command(OUTPUT ${out}/${file}.gz
    COMMAND gzip -9nc ${input} > ${out}/${file}.gz
    DEPENDS ${input})
  list(APPEND compressed ${out}/${file}.gz)
endforeach()
add_custom_target(aurivo_packaging_files ALL DEPENDS ${compressed})

install(TARGETS aurivo-usb aurivo-sim aurivo-dump aurivo-export RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${out}/man/aurivo-usb.1.gz ${out}/man/aurivo-sim.1.gz ${out}/man/aurivo-dump.1.gz
              ${out}/man/aurivo-export.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${pkg}/${AURIVO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
# The saved sessions' file type, so that a double click on a session opens it in the monitor.
install(FILES ${pkg}/${AURIVO_APP_ID}.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${pkg}/${AURIVO_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${out}/${AURIVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${out}/changelog.gz ${pkg}/copyright DESTINATION ${AURIVO_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME aurivo-usb)
set(CPACK_PACKAGE_VENDOR "Aurivo")
set(CPACK_PACKAGE_CONTACT "${AURIVO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "live monitor for the Aurivo USB resistance sensor")
set(CPACK_PACKAGE_DESCRIPTION "\
The Aurivo USB sensor measures a resistance through a probe and appears as
a serial port. This program decodes its packets and shows the readings
live: resistance, conductance and change since the start of a session, a
scrolling graph of the whole session, colour lamps and a bar. Sessions are
recorded, can be saved under a name and replayed, up to six overlaid.
Markers can be set during a session, and sessions can be exported to EDF+
or CSV for analysis tools.

The package also holds aurivo-sim, a simulated sensor on a pseudo-terminal,
aurivo-dump, which decodes a packet stream, and aurivo-export, which
converts recorded sessions to EDF+ or CSV.")
# The programs are where the build expects them (an installed monitor never writes into that folder).
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")
include(CPack)

if(AURIVO_TESTS)
  add_test(NAME install COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/tests/install/install_test.sh
           ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(install PROPERTIES SKIP_RETURN_CODE 77)
endif()
