# `cpack -G DEB` in a build folder makes the Debian 12 package of what cmake/Install.cmake
# installs (scripts/package configures, builds, packs and checks it with lintian).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zentuvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Zentuvo developers")
set(CPACK_PACKAGE_CONTACT "Zentuvo developers <dev@zentuvo.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "desktop player for internet television")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${CPACK_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The long description; CPack puts the summary above it as the synopsis line.
set(CPACK_PACKAGE_DESCRIPTION "Zentuvo plays public internet TV channels from a catalogue of more than ten
thousand channels from 178 countries, browsed by country or by favourites and
searched by name. It plays a second channel in a preview player, records the
playing channel to a file, plays local media files and keeps a personal list
of channels.")

# The libraries the programs link (Qt Core, Gui, Widgets, Svg, Concurrent and Network, libVLC,
# SQLite, the C and C++ run-time) come from dpkg-shlibdeps. It cannot see what is loaded at
# run time: libVLC's own modules (demuxers, codecs, HTTP and HLS access, audio output and
# the stream output the recorder uses in vlc-plugin-base; the X11 and OpenGL video outputs
# in vlc-plugin-video-output). Qt's xcb platform and the SVG icon plugins come with
# libqt6gui6 and libqt6svg6, which the programs link anyway; the TLS backend of the playlist
# download with libqt6network6 (it depends on libssl3).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "vlc-plugin-base (>= 3.0.0), vlc-plugin-video-output (>= 3.0.0)")
# The recorder runs the player's command-line program, vlc.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "vlc-bin (>= 3.0.0)")

include(CPack)
