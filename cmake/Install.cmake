# Install rules and the Debian package.
#
#   cmake --install build --prefix ~/.local      # or /usr/local as root
#   cd build && cpack -G DEB                     # tolvane_<version>_<arch>.deb
#
# Programs go to bin; the Define folder, the help pages and the sample data to share/tolvane,
# where a program finds them from its own folder (<bin>/../share/tolvane, base/uniPaths); the
# desktop entry, AppStream metadata, icons, man pages and bash completion where the desktop, the
# software centres, man and bash look for them.
include(GNUInstallDirs)

if(NOT CMAKE_INSTALL_BINDIR STREQUAL "bin" OR NOT CMAKE_INSTALL_DATADIR STREQUAL "share")
    message(WARNING "The programs look for their data in <program folder>/../share/tolvane: "
                    "CMAKE_INSTALL_BINDIR must be 'bin' and CMAKE_INSTALL_DATADIR 'share'.")
endif()

# The release's date, for the man pages and the AppStream release (CHANGELOG.md has the same).
set(TOLVANE_RELEASE_DATE 2026-12-08)
# The project's public web address. Its screenshot is docs/screenshot.png published there; the
# AppStream component id is the reverse of the same domain.
set(TOLVANE_HOMEPAGE_URL "https://tolvane.example" CACHE STRING "The project's web address")
set(TOLVANE_SCREENSHOT_URL "${TOLVANE_HOMEPAGE_URL}/screenshots/tolvane-main.png"
    CACHE STRING "Where docs/screenshot.png is published (for the AppStream metadata)")
set(TOLVANE_APPSTREAM_ID example.tolvane.Converter)

set(TOLVANE_DIST ${CMAKE_SOURCE_DIR}/dist/linux)
set(TOLVANE_SHARE ${CMAKE_INSTALL_DATADIR}/tolvane)
set(TOLVANE_DOC ${CMAKE_INSTALL_DATADIR}/doc/tolvane)

# Programs and data.
set(TOLVANE_PROGRAMS tolvane-cli tolvane-gen)
if(TARGET tolvane)
    list(APPEND TOLVANE_PROGRAMS tolvane)
endif()
install(TARGETS ${TOLVANE_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/Define/ DESTINATION ${TOLVANE_SHARE}/Define)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/help/ DESTINATION ${TOLVANE_SHARE}/help)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/samples/ DESTINATION ${TOLVANE_SHARE}/samples)

# Man pages, filled in and compressed without a time stamp (the same bytes every build).
set(TOLVANE_MAN_DATE ${TOLVANE_RELEASE_DATE})
set(TOLVANE_MAN_PAGES tolvane-cli tolvane-gen)
if(TARGET tolvane)
    list(APPEND TOLVANE_MAN_PAGES tolvane)
endif()
set(TOLVANE_MAN_OUTPUTS)
foreach(page ${TOLVANE_MAN_PAGES})
    configure_file(${TOLVANE_DIST}/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
        COMMAND gzip -9n -c ${page}.1 > ${page}.1.gz
        DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/man VERBATIM)
    list(APPEND TOLVANE_MAN_OUTPUTS ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
endforeach()
# The changelogs as Debian keeps them in /usr/share/doc/<package>: changelog.gz (CHANGELOG.md)
# and the package's own changelog.Debian.gz.
set(TOLVANE_DEB_RELEASE 1)
set(CPACK_PACKAGE_CONTACT "The Tolvane Converter developers <support@tolvane.example>")
execute_process(COMMAND date -u -R -d "${TOLVANE_RELEASE_DATE} 12:00"
                OUTPUT_VARIABLE TOLVANE_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
configure_file(${TOLVANE_DIST}/changelog.Debian.in ${CMAKE_BINARY_DIR}/doc/changelog.Debian @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/doc/changelog.gz
                          ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/CHANGELOG.md > changelog.gz
    COMMAND gzip -9n -c changelog.Debian > changelog.Debian.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md ${CMAKE_BINARY_DIR}/doc/changelog.Debian
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/doc VERBATIM)
add_custom_target(tolvane_install_files ALL
    DEPENDS ${TOLVANE_MAN_OUTPUTS} ${CMAKE_BINARY_DIR}/doc/changelog.gz)
install(FILES ${TOLVANE_MAN_OUTPUTS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${TOLVANE_DIST}/tolvane-cli.bash-completion
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tolvane-cli)
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${TOLVANE_DOC} RENAME copyright)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/README.ja.md
              ${CMAKE_BINARY_DIR}/doc/changelog.gz ${CMAKE_BINARY_DIR}/doc/changelog.Debian.gz
        DESTINATION ${TOLVANE_DOC})
install(FILES ${TOLVANE_DIST}/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME tolvane)

# The desktop: its entry, the software centres' metadata and the icon at every size.
if(TARGET tolvane)
    install(FILES ${TOLVANE_DIST}/tolvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    configure_file(${TOLVANE_DIST}/tolvane.metainfo.xml.in
                   ${CMAKE_BINARY_DIR}/${TOLVANE_APPSTREAM_ID}.metainfo.xml @ONLY)
    install(FILES ${CMAKE_BINARY_DIR}/${TOLVANE_APPSTREAM_ID}.metainfo.xml
            DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
    install(DIRECTORY ${TOLVANE_DIST}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()

# The Debian package: cpack -G DEB in the build folder, after a build.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE ${TOLVANE_DEB_RELEASE})
set(CPACK_PACKAGE_VENDOR "The Tolvane Converter developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "converter of KSJ text data to MIF/MID, GeoPackage, GeoJSON")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tolvane Converter turns the old text-format data of Japan's National Land
Numerical Information (KSJ) into MapInfo Interchange Format (MIF/MID) and
ledger CSV files, or into GeoPackage and GeoJSON with a coordinate reference
system, ready for QGIS, MapInfo, GDAL and every other GIS.

This package holds the desktop program tolvane (Japanese user interface),
the command-line converter tolvane-cli, the sample generator tolvane-gen,
the catalogue of KSJ data items and a sample of each.")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${TOLVANE_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The window's Japanese font and Qt's Japanese texts (file dialogs, standard buttons).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
