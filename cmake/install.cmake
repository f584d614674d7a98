# The installed game: programs, data, menu entry, metainfo, icons, manual page
# and the Debian package. Every destination is relative to the prefix, so a
# staged install (DESTDIR) and a moved one work alike.
include(GNUInstallDirs)
set(ZARN_INSTALL_GAMESDIR games CACHE STRING "Folder of the programs under the prefix (Debian keeps games in games/)")
set(ZARN_HOMEPAGE "https://zarn.example.org" CACHE STRING "Home page; the metainfo's screenshots are under its screenshots/")
set(ZARN_MAINTAINER "Zarn developers <zarn@example.org>" CACHE STRING "Maintainer named in the Debian package")
set(ZARN_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/games/zarn/data)

# The program finds its data from its own folder.
file(RELATIVE_PATH ZARN_DATA_FROM_PROGRAM /prefix/${ZARN_INSTALL_GAMESDIR} /prefix/${ZARN_INSTALL_DATA})
set_property(SOURCE ${CMAKE_SOURCE_DIR}/src/app/startup.cpp ${CMAKE_SOURCE_DIR}/src/config/config.cpp
  ${CMAKE_SOURCE_DIR}/src/model/replay.cpp APPEND PROPERTY
  COMPILE_DEFINITIONS ZARN_VERSION="${PROJECT_VERSION}" ZARN_DATA_FROM_PROGRAM="${ZARN_DATA_FROM_PROGRAM}")

# Files made at build time: the metainfo, the compressed manual page and
# changelog (Debian wants them compressed), the link for zarn-fixed.
set(DIST ${CMAKE_BINARY_DIR}/dist)
file(MAKE_DIRECTORY ${DIST})
configure_file(${CMAKE_SOURCE_DIR}/dist/zarn.metainfo.xml.in ${DIST}/org.example.zarn.metainfo.xml @ONLY)
foreach(f zarn.6 changelog)
  add_custom_command(OUTPUT ${DIST}/${f}.gz
    COMMAND gzip -9n -c ${CMAKE_SOURCE_DIR}/dist/${f} > ${DIST}/${f}.gz
    DEPENDS ${CMAKE_SOURCE_DIR}/dist/${f}
    VERBATIM)
endforeach()
add_custom_target(dist_files ALL DEPENDS ${DIST}/zarn.6.gz ${DIST}/changelog.gz)
file(CREATE_LINK zarn.6.gz ${DIST}/zarn-fixed.6.gz SYMBOLIC)

install(TARGETS zarn zarn-fixed RUNTIME DESTINATION ${ZARN_INSTALL_GAMESDIR})
install(FILES ${ZARN_DATA_DIR}/gfx.qva ${ZARN_DATA_DIR}/sfx.qva ${ZARN_DATA_DIR}/maps.qva
  DESTINATION ${ZARN_INSTALL_DATA})
install(FILES dist/zarn.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${DIST}/org.example.zarn.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(DIRECTORY ${CMAKE_BINARY_DIR}/icons/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${DIST}/zarn.6.gz ${DIST}/zarn-fixed.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES dist/copyright ${DIST}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package: `cpack` in the build folder writes zarn_<version>_<arch>.deb.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zarn)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${ZARN_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ZARN_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "arcade tile puzzle in space
Guide the character across a field of tiles floating in space and destroy
every field and mine before the time runs out: fields crumble behind him,
mines explode when he steps off them, tracks, pushers and teleporters shape
the paths. 48 levels, a 32-level classic set, high scores, key and gamepad
remapping, scaling filters, sound effects and module music.")
include(CPack)
