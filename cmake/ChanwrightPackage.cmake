# The Debian package of the three programs (scripts/package builds it from a Release build).
# Dependencies are named rather than worked out by dpkg-shlibdeps, so the package builds the same
# on any machine that builds the program; the platform plugins let the window open a display.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/README.serial-port
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/chanwright)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME chanwright)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Programs HV2071P and TQ5300 marine VHF radios with DSC over a serial cable")
set(CPACK_PACKAGE_CONTACT "Chanwright developers <chanwright@localhost>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), \
libqt6printsupport6 (>= 6.4), libqt6serialport6 (>= 6.4), libqt6svg6 (>= 6.4), qt6-qpa-plugins")
include(CPack)
