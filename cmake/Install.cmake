# What `cmake --install` puts where, in the freedesktop and Debian conventions,
# and the Debian package that CPack builds from the same install.
include(GNUInstallDirs)

set(OSTREL_APP_ID io.github.ostrel.Ostrel)
set(_dist "${PROJECT_SOURCE_DIR}/dist")

install(TARGETS ostrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

install(FILES "${_dist}/${OSTREL_APP_ID}.desktop" DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${_dist}/${OSTREL_APP_ID}.metainfo.xml" DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES "${_dist}/ostrel-mime.xml" DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
    RENAME ostrel.xml)

install(FILES "${_dist}/icons/ostrel.svg" DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(_size 16 22 24 32 48 64 128 256)
    install(FILES "${_dist}/icons/${_size}x${_size}/ostrel.png"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps)
endforeach()

# The man page carries the version; Debian wants it compressed, and man reads
# it so anywhere.
configure_file("${_dist}/ostrel.1.in" "${CMAKE_CURRENT_BINARY_DIR}/ostrel.1" @ONLY)
add_custom_command(OUTPUT "${CMAKE_CURRENT_BINARY_DIR}/ostrel.1.gz"
    COMMAND gzip -9 -n -c "${CMAKE_CURRENT_BINARY_DIR}/ostrel.1" > "${CMAKE_CURRENT_BINARY_DIR}/ostrel.1.gz"
    DEPENDS "${CMAKE_CURRENT_BINARY_DIR}/ostrel.1"
    VERBATIM)
add_custom_target(ostrel_manpage ALL DEPENDS "${CMAKE_CURRENT_BINARY_DIR}/ostrel.1.gz")
install(FILES "${CMAKE_CURRENT_BINARY_DIR}/ostrel.1.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(PROGRAMS "${PROJECT_SOURCE_DIR}/demo/quelm" DESTINATION ${CMAKE_INSTALL_DATADIR}/ostrel/demo)
install(FILES "${PROJECT_SOURCE_DIR}/demo/quelm.hlp" "${PROJECT_SOURCE_DIR}/demo/examples.mst"
    "${PROJECT_SOURCE_DIR}/demo/interest.cf" "${PROJECT_SOURCE_DIR}/demo/primes.cf"
    "${PROJECT_SOURCE_DIR}/demo/sines.cf"
    DESTINATION ${CMAKE_INSTALL_DATADIR}/ostrel/demo)

install(FILES "${_dist}/copyright" DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/ostrel)

# The Debian package: ostrel_<version>_<arch>.deb, its library dependencies
# worked out from the binary by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ostrel)
set(CPACK_PACKAGE_VENDOR "The Ostrel developers")
set(CPACK_PACKAGE_CONTACT "The Ostrel developers <ostrel@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop front end for the Quelm calculation engine")
set(CPACK_PACKAGE_DESCRIPTION
    "Ostrel gives the user of Quelm, a console calculation engine, one window in\n\
which to write command files, run the engine on them, read the output files,\n\
run a master file's list of command files, look up keywords in the engine's\n\
help file, print texts and browse folders. A stand-in engine over GNU bc with\n\
examples is included.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The demo engine runs GNU bc.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS bc)
include(CPack)
