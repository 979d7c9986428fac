# `make install` and the Debian package: the executable, the data set, the
# hicolor icons, the desktop entry, AppStream metadata, the manual page and
# the Debian documentation. The installed game finds its data relative to its
# own executable, so any prefix works (`cmake --install build --prefix DIR`).
# A game's executable goes to games/ and its static data to share/games/.
set(CMAKE_INSTALL_BINDIR games CACHE PATH "Games (games)")
include(GNUInstallDirs)

set(BRIMVALE_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/games/brimvale/data)
file(RELATIVE_PATH _bin_to_data ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${BRIMVALE_INSTALL_DATA})
target_compile_definitions(brimvale_app PRIVATE BRIMVALE_INSTALLED_DATA="${_bin_to_data}")

if(BRIMVALE_UNIT_ONLY)
  return()
endif()

set(_dist ${PROJECT_SOURCE_DIR}/dist/linux)
set(_icons ${CMAKE_BINARY_DIR}/icons)
set(_man ${CMAKE_BINARY_DIR}/man/brimvale.6.gz)
set(_changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_command(
  OUTPUT ${_icons}/256x256/apps/brimvale.png
  COMMAND brimvale-datagen --icons ${_icons}
  DEPENDS brimvale-datagen
  COMMENT "Drawing the desktop icons"
  VERBATIM)
# gzip -n: no name or time stamp, so the package is the same on every build.
add_custom_command(
  OUTPUT ${_man} ${_changelog}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man ${CMAKE_BINARY_DIR}/doc
  COMMAND sh -c "gzip -9n < \"$0\" > \"$1\" && gzip -9n < \"$2\" > \"$3\"" ${_dist}/brimvale.6 ${_man}
          ${_dist}/changelog ${_changelog}
  DEPENDS ${_dist}/brimvale.6 ${_dist}/changelog
  VERBATIM)
add_custom_target(brimvale_desktop_files ALL DEPENDS ${_icons}/256x256/apps/brimvale.png ${_man} ${_changelog})

# Bind now: the whole relocation table read-only once the game runs.
target_link_options(brimvale PRIVATE -Wl,-z,relro -Wl,-z,now)
install(TARGETS brimvale RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Only the generated set: files a run beside the data wrote are the player's.
install(DIRECTORY ${BRIMVALE_GAME_DIR}/data/ DESTINATION ${BRIMVALE_INSTALL_DATA}
        PATTERN .datagen-stamp EXCLUDE
        PATTERN option.cfg EXCLUDE
        PATTERN window.cfg EXCLUDE
        PATTERN highscores.dat EXCLUDE
        PATTERN *.prf EXCLUDE
        PATTERN *.tmp EXCLUDE
        PATTERN *.damaged EXCLUDE
        PATTERN *.log EXCLUDE)
install(DIRECTORY ${_icons}/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
install(FILES ${_dist}/org.brimvale.Brimvale.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_dist}/org.brimvale.Brimvale.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_man} DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES ${_dist}/copyright ${_changelog} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/brimvale)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME brimvale)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Brimvale developers")
set(CPACK_PACKAGE_CONTACT "The Brimvale developers <brimvale@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "casual time-management game of deliveries in a small town")
# CPack puts the summary first and indents this below it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Each level of Brimvale is a working day in a small town: customers at the
houses order goods, the player picks the goods up at the shops and assigns
them to the orders, and the delivery van drives the town's roads to each
house. The game keeps profiles and highscores in the player's own data
directory and runs in a scalable window or full screen.")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SET_DESTDIR OFF)
include(CPack)
