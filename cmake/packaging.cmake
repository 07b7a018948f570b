# What an installed zekconfig needs beside its programs: the desktop entry, the icons,
# the AppStream data, the man pages, zekctl's bash completion and the Debian
# documentation files; and the Debian package made from that install tree (cpack -G DEB,
# see scripts/deb.sh).
include(GNUInstallDirs)
set(ZEK_PACKAGING_DIR ${CMAKE_BINARY_DIR}/packaging)

install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/${ZEK_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/icons/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${ZEK_APP_ID}.png)
endforeach()
# bash-completion loads a command's file from here the first time the command is completed.
install(FILES ${CMAKE_SOURCE_DIR}/resources/completion/zekctl
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/${ZEK_APP_ID}.metainfo.xml
               ${ZEK_PACKAGING_DIR}/${ZEK_APP_ID}.metainfo.xml @ONLY)
install(FILES ${ZEK_PACKAGING_DIR}/${ZEK_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages and the changelog compressed as Debian wants them, reproducibly (-n: no name, no time).
find_program(ZEK_GZIP gzip REQUIRED)
set(compressed)
foreach(page zekconfig zeksim zekctl)
  configure_file(${CMAKE_SOURCE_DIR}/docs/man/${page}.1 ${ZEK_PACKAGING_DIR}/${page}.1 @ONLY)
  list(APPEND compressed ${page}.1)
endforeach()
configure_file(${CMAKE_SOURCE_DIR}/resources/desktop/changelog ${ZEK_PACKAGING_DIR}/changelog @ONLY)
list(APPEND compressed changelog)
set(gzipped)
foreach(file IN LISTS compressed)
  add_custom_command(OUTPUT ${ZEK_PACKAGING_DIR}/${file}.gz
                     COMMAND ${ZEK_GZIP} -9nkf ${file}
                     DEPENDS ${ZEK_PACKAGING_DIR}/${file}
                     WORKING_DIRECTORY ${ZEK_PACKAGING_DIR})
  list(APPEND gzipped ${ZEK_PACKAGING_DIR}/${file}.gz)
endforeach()
add_custom_target(zek_packaging_files ALL DEPENDS ${gzipped})
foreach(page zekconfig zeksim zekctl)
  install(FILES ${ZEK_PACKAGING_DIR}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
install(FILES ${ZEK_PACKAGING_DIR}/changelog.gz ${CMAKE_SOURCE_DIR}/resources/desktop/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zekconfig)
set(CPACK_PACKAGE_VENDOR Holvek)
set(CPACK_PACKAGE_CONTACT "Holvek Service <service@example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for ZEK Ethernet modules")
set(CPACK_PACKAGE_DESCRIPTION
    "Finds ZEK modules on the LAN by UDP broadcast and lists them in a tree,\n"
    "writes a module's IP settings, name, port and Ethernet mode and reboots\n"
    "it, and opens a TCP text session to read and set the module's identity,\n"
    "data logger, clock, daylight-saving rules and SNMP settings. Includes\n"
    "zeksim, a simulated module fleet for training and tests, and zekctl,\n"
    "the same work from the command line for scripts and fleets.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.example.com/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
