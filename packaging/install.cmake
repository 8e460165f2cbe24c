# Installation in the places a Linux desktop looks for a game, and a Debian
# package built from the same rules with CPack.
#
#   <prefix>/games/crimson-lunatic-outbreak            the launcher (on PATH)
#   <prefix>/lib/games/crimson-lunatic-outbreak/crimson the game itself
#   <prefix>/share/games/crimson-lunatic-outbreak/assets.bin
#   <prefix>/share/applications, share/metainfo, share/icons/hicolor
#
# The launcher finds the rest relative to its own location, so the same tree
# works under /usr, /usr/local or a test prefix.
include(GNUInstallDirs)

set(CRIMSON_PACKAGE crimson-lunatic-outbreak)
set(CRIMSON_APP_ID net.harrowkiln.CrimsonLunaticOutbreak)
set(CRIMSON_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)

# Launcher for the build tree: same script, absolute paths into build/.
set(LAUNCHER_GAME_BIN ${CMAKE_BINARY_DIR}/crimson)
set(LAUNCHER_GAME_ASSETS ${CMAKE_BINARY_DIR}/assets.bin)
configure_file(${CRIMSON_PACKAGING_DIR}/${CRIMSON_PACKAGE}.in
               ${CMAKE_BINARY_DIR}/${CRIMSON_PACKAGE} @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)

# Launcher for an installed tree: "$prefix" is worked out by the script.
set(LAUNCHER_GAME_BIN "\$prefix/lib/games/${CRIMSON_PACKAGE}/crimson")
set(LAUNCHER_GAME_ASSETS "\$prefix/share/games/${CRIMSON_PACKAGE}/assets.bin")
configure_file(${CRIMSON_PACKAGING_DIR}/${CRIMSON_PACKAGE}.in
               ${CMAKE_BINARY_DIR}/packaging/${CRIMSON_PACKAGE} @ONLY)

install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/${CRIMSON_PACKAGE} DESTINATION games)
install(TARGETS crimson RUNTIME DESTINATION lib/games/${CRIMSON_PACKAGE})
install(FILES ${CMAKE_BINARY_DIR}/assets.bin DESTINATION share/games/${CRIMSON_PACKAGE} OPTIONAL)
install(FILES ${CRIMSON_PACKAGING_DIR}/${CRIMSON_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CRIMSON_PACKAGING_DIR}/${CRIMSON_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES ${CMAKE_BINARY_DIR}/icons/${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${CRIMSON_APP_ID}.png OPTIONAL)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${CRIMSON_PACKAGE})
set(CPACK_PACKAGE_VENDOR "Harrow Kiln")
set(CPACK_PACKAGE_CONTACT "Harrow Kiln <games@harrowkiln.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "top-down action game: run amok before your psychosis runs out")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The shared libraries decide most dependencies (dpkg-shlibdeps); Mesa's
# drivers are loaded at run time and so are named by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
include(CPack)
