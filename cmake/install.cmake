# Where `cmake --install` puts the game, its data and its desktop files.
#
# The game finds levels/ and gfx/ in its working directory and writes
# scores.xml there, so the installed program is never started directly: the
# launcher in bin/ (games/ in the Debian package, which sets
# CMAKE_INSTALL_BINDIR) prepares a directory of the player's own and runs the
# real binary inside it. That binary, and the import program the launcher's
# --import runs, are private programs: they go to libexec/cratoria/, off the
# PATH, where a typed `cratoria` cannot reach them from some other directory.
#
# The launcher and the man page name the installed folders, which are fixed
# when the build is configured: give CMAKE_INSTALL_PREFIX then, and install
# with DESTDIR to stage the files elsewhere.
include(GNUInstallDirs)

set(CRATORIA_INSTALL_PRIVATEDIR ${CMAKE_INSTALL_LIBEXECDIR}/cratoria)
set(CRATORIA_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/cratoria)
set(CRATORIA_FULL_PRIVATEDIR ${CMAKE_INSTALL_FULL_LIBEXECDIR}/cratoria)
set(CRATORIA_FULL_DATADIR ${CMAKE_INSTALL_FULL_DATADIR}/cratoria)
set(CRATORIA_APP_ID io.github.cratoria.Cratoria)
set(CRATORIA_ICON_SIZES 16 24 32 48 64 128 256)

install(TARGETS cratoria cratoria-import RUNTIME DESTINATION ${CRATORIA_INSTALL_PRIVATEDIR})

# Every file in levels/ is a collection for the game; levels/solutions/ is
# working material, and hidden or backup files would be read as broken
# collections.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/levels/ DESTINATION ${CRATORIA_INSTALL_DATADIR}/levels
  PATTERN solutions EXCLUDE PATTERN ".*" EXCLUDE PATTERN "*~" EXCLUDE)

# The game reads pictures and fonts only; the licences and notes beside the
# fonts go with the documentation.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/gfx/ DESTINATION ${CRATORIA_INSTALL_DATADIR}/gfx
  FILES_MATCHING PATTERN "*.bmp" PATTERN "*.ttf")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/gfx/ DESTINATION ${CMAKE_INSTALL_DOCDIR}/gfx
  FILES_MATCHING PATTERN "*.txt" PATTERN "*.md")

install(FILES ${CMAKE_SOURCE_DIR}/packaging/${CRATORIA_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/${CRATORIA_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${CRATORIA_ICON_SIZES})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/cratoria-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME cratoria.png)
endforeach()

# Single-quoted for sh, so that spaces and dollars in a folder stay literal;
# a quote inside ends the string, is escaped and reopens it.
function(cratoria_sh_quote variable text)
  string(REPLACE "'" "'\\''" quoted "${text}")
  set(${variable} "'${quoted}'" PARENT_SCOPE)
endfunction()
cratoria_sh_quote(CRATORIA_LAUNCHER_DATADIR "${CRATORIA_FULL_DATADIR}")
cratoria_sh_quote(CRATORIA_LAUNCHER_BINARY "${CRATORIA_FULL_PRIVATEDIR}/cratoria")
cratoria_sh_quote(CRATORIA_LAUNCHER_IMPORTER "${CRATORIA_FULL_PRIVATEDIR}/cratoria-import")
set(CRATORIA_VERSION ${PROJECT_VERSION})
configure_file(${CMAKE_SOURCE_DIR}/packaging/cratoria.sh.in ${CMAKE_BINARY_DIR}/packaging/cratoria @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/cratoria.6.in ${CMAKE_BINARY_DIR}/packaging/cratoria.6 @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/packaging/cratoria DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/packaging/cratoria.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
