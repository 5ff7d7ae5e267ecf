# Installation and the Debian package (scripts/package builds it from a
# Release configuration).
include(GNUInstallDirs)

# One install() per program, here.
install(TARGETS lumarel-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET lumarel)
  install(TARGETS lumarel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(PROGRAMS resources/desktop/lumarel-desktop DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES resources/desktop/lumarel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(DIRECTORY resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()
install(FILES docs/help/Lumarel.pdf DESTINATION ${CMAKE_INSTALL_DATADIR}/lumarel)

# The release's moment, written once: the changelog's date, and the manual
# pages', which do not change with the day of the build. 12:00 in Kyiv.
set(lumarel_release_epoch 1517306400)
set(_epoch_before "$ENV{SOURCE_DATE_EPOCH}")
math(EXPR _kyiv "${lumarel_release_epoch} + 2 * 3600")
set(ENV{SOURCE_DATE_EPOCH} ${_kyiv})
string(TIMESTAMP LUMAREL_RELEASE_CHANGELOG_DATE "%a, %d %b %Y %H:%M:%S +0200" UTC)
string(TIMESTAMP LUMAREL_RELEASE_DAY "%Y-%m-%d" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${_epoch_before}")

# What Debian expects of every package: the copyright file and the changelog,
# compressed reproducibly (no name, no time stamp in the gzip header). The
# changelog's version is project(VERSION ...)'s.
set(lumarel_docdir ${CMAKE_INSTALL_DATADIR}/doc/lumarel)
set(lumarel_changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog)
set(lumarel_changelog_gz ${lumarel_changelog}.gz)
configure_file(cmake/deb/changelog.in ${lumarel_changelog} @ONLY)
add_custom_command(
  OUTPUT ${lumarel_changelog_gz}
  COMMAND gzip -9 -n -c ${lumarel_changelog} > ${lumarel_changelog_gz}
  DEPENDS ${lumarel_changelog}
  VERBATIM)
set(lumarel_gzipped ${lumarel_changelog_gz})

# The manual pages: the programs' from their own --help and --version through
# help2man, once each program is built; the starter script's, which has no
# --help, written by hand with the version filled in.
find_program(LUMAREL_HELP2MAN help2man REQUIRED)
set(lumarel_man ${CMAKE_CURRENT_BINARY_DIR}/man)
set(lumarel_man_epoch ${lumarel_release_epoch})
file(MAKE_DIRECTORY ${lumarel_man})
set(lumarel_man_programs lumarel-convert)
if(TARGET lumarel)
  list(APPEND lumarel_man_programs lumarel)
endif()
foreach(program ${lumarel_man_programs})
  set(page ${lumarel_man}/${program}.1)
  set(include ${CMAKE_CURRENT_SOURCE_DIR}/docs/man/${program}.h2m)
  add_custom_command(
    OUTPUT ${page}.gz
    BYPRODUCTS ${page}
    COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${LUMAREL_HELP2MAN} -DPROGRAM=$<TARGET_FILE:${program}>
            -DINCLUDE=${include} -DPAGE=${page} -DEPOCH=${lumarel_man_epoch}
            -DVERSION=${PROJECT_VERSION}
            -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/HelpToMan.cmake
    DEPENDS ${program} ${include} ${CMAKE_CURRENT_SOURCE_DIR}/cmake/HelpToMan.cmake
    VERBATIM)
  list(APPEND lumarel_gzipped ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
if(TARGET lumarel)
  set(page ${lumarel_man}/lumarel-desktop.1)
  configure_file(docs/man/lumarel-desktop.1.in ${page} @ONLY)
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND gzip -9 -n -c ${page} > ${page}.gz
    DEPENDS ${page}
    VERBATIM)
  list(APPEND lumarel_gzipped ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()
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
    "libreoffice-writer, libqt6core6, libqt6gui6, libqt6widgets6, libqt6network6, libqt6svg6, libqt6pdf6, libqt6pdfwidgets6, qt6-qpa-plugins, qt6-translations-l10n, libxml2, fonts-liberation, xdg-utils, poppler-utils, file | libfile-mimeinfo-perl")
# The help and the price list are PDF documents.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "evince | pdf-viewer")
# The C and C++ runtimes and the exact library versions, from the binaries.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION TRUE)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_INSTALL_DIRECTORY lumarel)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
