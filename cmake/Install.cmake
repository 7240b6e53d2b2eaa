# What `cmake --install` lays out under the prefix: the programs in bin/, the data the
# program needs in share/zentuvo/, the desktop entry, the AppStream metadata, the icons, the
# manual pages and the package's copyright file and change log.
# The build folder itself stays the place the program runs from (scripts/run).
include(GNUInstallDirs)

set(ZENTUVO_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(ZENTUVO_ICON_SVG ${CMAKE_SOURCE_DIR}/src/ui/resources/icons/logo.svg)
set(ZENTUVO_ICON_SIZES 16 22 24 32 48 64 128 256)
set(ZENTUVO_ICON_DIR ${CMAKE_BINARY_DIR}/icons/hicolor)
set(ZENTUVO_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/zentuvo)

# The PNG icons, rendered from the program's SVG logo.
set(zentuvo_icon_pngs "")
foreach(size IN LISTS ZENTUVO_ICON_SIZES)
  list(APPEND zentuvo_icon_pngs ${ZENTUVO_ICON_DIR}/${size}x${size}/apps/zentuvo.png)
endforeach()
add_custom_command(OUTPUT ${zentuvo_icon_pngs}
  # Built with the sanitizers in the test configuration: the leak check at exit would fail
  # the build on what the platform's libraries leave behind.
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
          $<TARGET_FILE:zentuvo-render-icon> ${ZENTUVO_ICON_SVG} ${ZENTUVO_ICON_DIR} zentuvo
          ${ZENTUVO_ICON_SIZES}
  DEPENDS zentuvo-render-icon ${ZENTUVO_ICON_SVG}
  COMMENT "Rendering the program icon into PNG sizes"
  VERBATIM)
add_custom_target(zentuvo_icons ALL DEPENDS ${zentuvo_icon_pngs})

install(TARGETS zentuvo zentuvo-catalogue RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The catalogue, the settings file and the manual that the build lays out next to the
# program (target zentuvo_layout_data). My List is the user's own and is not installed.
install(FILES
  $<TARGET_FILE_DIR:zentuvo>/ch.dat
  $<TARGET_FILE_DIR:zentuvo>/Zentuvo.ini
  ${ZENTUVO_DATA_DIR}/Zentuvo.html
  DESTINATION ${ZENTUVO_SHARE_DIR})

install(FILES ${ZENTUVO_PACKAGING_DIR}/zentuvo.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ZENTUVO_PACKAGING_DIR}/io.zentuvo.Zentuvo.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ZENTUVO_ICON_SVG}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME zentuvo.svg)
foreach(size IN LISTS ZENTUVO_ICON_SIZES)
  install(FILES ${ZENTUVO_ICON_DIR}/${size}x${size}/apps/zentuvo.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Compressed copies, as Debian wants the change log and the manual pages (-n: no name or
# time stamp inside, so the same source gives the same bytes).
set(ZENTUVO_GZIP_DIR ${CMAKE_BINARY_DIR}/packaging)
set(zentuvo_gzipped "")
foreach(name changelog zentuvo.1 zentuvo-catalogue.1)
  add_custom_command(OUTPUT ${ZENTUVO_GZIP_DIR}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZENTUVO_GZIP_DIR}
    COMMAND sh -c "gzip -9nc '${ZENTUVO_PACKAGING_DIR}/${name}' > '${ZENTUVO_GZIP_DIR}/${name}.gz'"
    DEPENDS ${ZENTUVO_PACKAGING_DIR}/${name}
    COMMENT "Compressing ${name}"
    VERBATIM)
  list(APPEND zentuvo_gzipped ${ZENTUVO_GZIP_DIR}/${name}.gz)
endforeach()
add_custom_target(zentuvo_packaging_files ALL DEPENDS ${zentuvo_gzipped})

install(FILES ${ZENTUVO_GZIP_DIR}/zentuvo.1.gz ${ZENTUVO_GZIP_DIR}/zentuvo-catalogue.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The copyright file and the change log that a Debian package carries, in the folder named
# after the package (not GNUInstallDirs' DOCDIR, which takes the project's capitalised name).
install(FILES ${ZENTUVO_PACKAGING_DIR}/copyright ${ZENTUVO_GZIP_DIR}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/zentuvo)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
