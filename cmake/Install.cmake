# What `make install` puts where (PREFIX/bin, PREFIX/share/...), and the Debian package built from it.
# The desktop id is MPH_APP_ID (set beside the game's program); the release number comes from project().
include(GNUInstallDirs)

set(MPH_DATA_DIR ${CMAKE_INSTALL_DATADIR}/morphella)

install(TARGETS morphella morphella-tool morphella-scored RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/bin/morphella.bin ${MPH_LANGUAGE_FILES} DESTINATION ${MPH_DATA_DIR})
# The compiled catalogs, where the software centre looks for the languages a program speaks (the game itself
# reads its translations from the overlays beside its container).
foreach(code ${MPH_LANGUAGES})
  install(FILES ${CMAKE_BINARY_DIR}/data/generated/lang/${code}/morphella.mo
    DESTINATION ${CMAKE_INSTALL_LOCALEDIR}/${code}/LC_MESSAGES)
endforeach()
install(FILES ${MPH_SCREENSHOT_FILES} DESTINATION ${MPH_DATA_DIR}/screenshots)

# The desktop entry, the software centre's description and the icon set.
install(FILES ${MPH_DESKTOP_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${MPH_METAINFO_FILE} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${MPH_ICON_SIZES})
  install(FILES ${MPH_ICONS_DIR}/icon-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${MPH_APP_ID}.png)
endforeach()
install(FILES ${MPH_ICONS_DIR}/icon.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${MPH_APP_ID}.svg)
# An icon cache that already exists in the live prefix would hide the new icons until rebuilt, so it is
# rebuilt; none is made where there was none (the desktop then reads the folders), and nothing is done
# for a staged install (DESTDIR, or the package's staging folder, which has no cache).
install(CODE [[
  set(hicolor "${CMAKE_INSTALL_PREFIX}/share/icons/hicolor")
  if("$ENV{DESTDIR}" STREQUAL "" AND EXISTS "${hicolor}/icon-theme.cache")
    find_program(MPH_ICON_CACHE gtk-update-icon-cache)
    if(MPH_ICON_CACHE)
      execute_process(COMMAND "${MPH_ICON_CACHE}" -q -t -f "${hicolor}")
    else()
      message(STATUS "gtk-update-icon-cache is missing: the icon cache in ${hicolor} is out of date")
    endif()
  endif()
]])

# Manual pages, stamped with the release number.
foreach(page morphella.6 morphella-tool.1 morphella-scored.8)
  string(REGEX MATCH "[0-9]$" section ${page})
  configure_file(${CMAKE_SOURCE_DIR}/dist/man/${page}.in ${CMAKE_BINARY_DIR}/dist/man/${page} @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/dist/man/${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()

# The score service's systemd unit (systemd reads PREFIX/lib/systemd/system for /usr and /usr/local).
install(FILES ${CMAKE_SOURCE_DIR}/dist/morphella-scored.service DESTINATION lib/systemd/system)

# make package: a Debian package whose library dependencies dpkg-shlibdeps reads off the programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME morphella)
set(CPACK_PACKAGE_VENDOR Quillory)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "casual puzzle game: fit shapes into holes on moving belts")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Shapes wait in a tray while rows of holes glide past on conveyor belts; drop each shape into the hole\n"
  "of exactly the same shape and fill whole rows to melt them away. A timed game with bonus rounds and a\n"
  "rising-rows game, wildcards, morphing shapes and power-ups, personal high scores, recorded games, and\n"
  "morphella-scored, the service behind an optional world high-score table.")
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Morphella developers <morphella@quillory.net>")
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quillory.net/morphella/)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The fonts are opened by name at run time, so no library dependency brings them in.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-liberation2, fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
