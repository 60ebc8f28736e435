# What `cmake --install` puts where, and the Debian package CPack builds
# from it (scripts/package).

install(TARGETS tarvo tarvo-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET tarvo-cli)
  install(TARGETS tarvo-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tarvo.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/tarvo.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tarvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tarvo developers <tarvo@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control program for a gas-conditioning rig of mass flow controllers and a syringe pump")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
# The Debian runtime packages of the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6core6, libqt6gui6, libqt6widgets6, libqt6printsupport6, libqt6serialport6, libqcustomplot2.1-qt6, libc6, libstdc++6, fonts-dejavu-core")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
include(CPack)
