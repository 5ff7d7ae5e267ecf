# Installation and the Debian package.
include(GNUInstallDirs)

if(TARGET lumarel)
  install(TARGETS lumarel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(PROGRAMS resources/desktop/lumarel-desktop DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES resources/desktop/lumarel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(DIRECTORY resources/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
endif()
install(FILES docs/help/Lumarel.pdf DESTINATION ${CMAKE_INSTALL_DATADIR}/lumarel)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumarel)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Люмарель <info@${LUMAREL_SITE_HOST}>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Diploma documents from EDEBO XML exports, filled into Word templates")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libreoffice-writer, libqt6core6, libqt6gui6, libqt6widgets6, libqt6network6, libqt6svg6, qt6-qpa-plugins, libxml2, fonts-liberation")
set(CPACK_PACKAGE_INSTALL_DIRECTORY lumarel)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
