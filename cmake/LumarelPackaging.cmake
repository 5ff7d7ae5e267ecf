# Installation and the Debian package (scripts/package builds it from a
# Release configuration).
include(GNUInstallDirs)

if(TARGET lumarel)
  install(TARGETS lumarel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(PROGRAMS resources/desktop/lumarel-desktop DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES resources/desktop/lumarel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(DIRECTORY resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()
install(FILES docs/help/Lumarel.pdf DESTINATION ${CMAKE_INSTALL_DATADIR}/lumarel)

# What Debian expects of every package: the copyright file and the changelog,
# compressed reproducibly (no name, no time stamp in the gzip header).
set(lumarel_docdir ${CMAKE_INSTALL_DATADIR}/doc/lumarel)
set(lumarel_changelog_gz ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
add_custom_command(
  OUTPUT ${lumarel_changelog_gz}
  COMMAND gzip -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/cmake/deb/changelog > ${lumarel_changelog_gz}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/cmake/deb/changelog
  VERBATIM)
set(lumarel_gzipped ${lumarel_changelog_gz})
# The manual pages, compressed the same way.
foreach(page lumarel lumarel-desktop lumarel-convert)
  set(gz ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(
    OUTPUT ${gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND gzip -9 -n -c ${CMAKE_CURRENT_SOURCE_DIR}/docs/man/${page}.1 > ${gz}
    DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/man/${page}.1
    VERBATIM)
  list(APPEND lumarel_gzipped ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(lumarel_changelog ALL DEPENDS ${lumarel_gzipped})
install(FILES cmake/deb/copyright ${lumarel_changelog_gz} DESTINATION ${lumarel_docdir})
# The one lintian finding that stays on purpose, with its reason in the file.
install(FILES cmake/deb/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME lumarel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumarel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# No quotation marks: the control file's contact field would break on them.
set(CPACK_PACKAGE_CONTACT "ПП ВЕРЕСК-ЛАБ <info@${LUMAREL_SITE_HOST}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "diploma documents from EDEBO XML exports, filled into Word templates")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Люмарель reads the XML file of graduates' diplomas exported from the
Ukrainian state education database (EDEBO), shows the graduates as a
check list and fills, through LibreOffice Writer, the Word template
assigned to each document kind with a graduate's data, in Ukrainian and
English: one .doc file per graduate. The window program has a Ukrainian
interface; lumarel-convert does the same from the command line.")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://${LUMAREL_SITE_HOST}/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# xdg-utils opens the produced documents, the help and the web site (outside
# a desktop environment it needs file or mimetype to tell a document's type);
# the Ukrainian translations give the toolkit's own texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libreoffice-writer, libqt6core6, libqt6gui6, libqt6widgets6, libqt6network6, libqt6svg6, qt6-qpa-plugins, qt6-translations-l10n, libxml2, fonts-liberation, xdg-utils, file | libfile-mimeinfo-perl")
# The help and the price list are PDF documents.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "evince | pdf-viewer")
# The C and C++ runtimes and the exact library versions, from the binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY lumarel)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
