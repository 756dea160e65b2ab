# Where `cmake --install` puts the game, its data and its desktop files.
#
# The game finds levels/ and gfx/ in its working directory and writes
# scores.xml there, so the installed program is never started directly: the
# launcher in bin/ (games/ in the Debian package, which sets
# CMAKE_INSTALL_BINDIR) prepares a directory of the player's own and runs the
# real binary inside it. That binary lives in lib/cratoria/, off the PATH,
# where a typed `cratoria` cannot reach it from some other directory; it is
# compiled code, so it does not belong under share/.
include(GNUInstallDirs)

set(CRATORIA_INSTALL_PRIVATEDIR lib/cratoria)
set(CRATORIA_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/cratoria)
set(CRATORIA_APP_ID io.github.cratoria.Cratoria)
set(CRATORIA_ICON_SIZES 16 24 32 48 64 128 256)

# The import command sits beside the game; the launcher's --import runs it.
install(TARGETS cratoria cratoria-import RUNTIME DESTINATION ${CRATORIA_INSTALL_PRIVATEDIR})

# Only the collection files beside each other count for the game; folders
# such as levels/solutions/ are working material, and hidden or backup files
# would be read as broken collections. The folder is listed when installing,
# so a collection added since the last build is not left behind.
install(CODE "
  set(CRATORIA_LEVELS_SOURCE \"${CMAKE_SOURCE_DIR}/levels\")
  set(CRATORIA_LEVELS_DESTINATION \"${CRATORIA_INSTALL_DATADIR}/levels\")
")
install(CODE [=[
  if(NOT IS_ABSOLUTE "${CRATORIA_LEVELS_DESTINATION}")
    set(CRATORIA_LEVELS_DESTINATION "${CMAKE_INSTALL_PREFIX}/${CRATORIA_LEVELS_DESTINATION}")
  endif()
  file(GLOB collections LIST_DIRECTORIES false "${CRATORIA_LEVELS_SOURCE}/*")
  list(FILTER collections EXCLUDE REGEX "/\\.[^/]*$|~$")
  file(INSTALL DESTINATION "${CRATORIA_LEVELS_DESTINATION}" TYPE FILE FILES ${collections})
]=])

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
install(FILES ${CMAKE_SOURCE_DIR}/packaging/cratoria.6
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
foreach(size ${CRATORIA_ICON_SIZES})
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/cratoria-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME cratoria.png)
endforeach()

# The launcher carries the final prefix, which is only known for certain when
# installing (`cmake --install --prefix` may differ from the configured one).
# Each prefix gets its own rendered copy so that two installs from one build
# tree cannot hand each other the wrong paths.
install(CODE "
  set(CRATORIA_LAUNCHER_IN \"${CMAKE_SOURCE_DIR}/packaging/cratoria.sh.in\")
  set(CRATORIA_LAUNCHER_WORK \"${CMAKE_BINARY_DIR}/launcher\")
  set(CRATORIA_BINDIR \"${CMAKE_INSTALL_BINDIR}\")
  set(CRATORIA_DATADIR \"${CRATORIA_INSTALL_DATADIR}\")
  set(CRATORIA_BINARY \"${CRATORIA_INSTALL_PRIVATEDIR}/cratoria\")
  set(CRATORIA_IMPORTER \"${CRATORIA_INSTALL_PRIVATEDIR}/cratoria-import\")
  set(CRATORIA_VERSION \"${PROJECT_VERSION}\")
")
install(CODE [=[
  foreach(name CRATORIA_BINDIR CRATORIA_DATADIR CRATORIA_BINARY CRATORIA_IMPORTER)
    if(NOT IS_ABSOLUTE "${${name}}")
      set(${name} "${CMAKE_INSTALL_PREFIX}/${${name}}")
    endif()
  endforeach()
  # Single-quoted for sh, so that spaces and dollars in the prefix stay
  # literal; a quote inside ends the string, is escaped and reopens it.
  string(REPLACE "'" "'\\''" datadir "${CRATORIA_DATADIR}")
  string(REPLACE "'" "'\\''" binary "${CRATORIA_BINARY}")
  string(REPLACE "'" "'\\''" importer "${CRATORIA_IMPORTER}")
  set(CRATORIA_LAUNCHER_DATADIR "'${datadir}'")
  set(CRATORIA_LAUNCHER_BINARY "'${binary}'")
  set(CRATORIA_LAUNCHER_IMPORTER "'${importer}'")
  string(MD5 key "${CMAKE_INSTALL_PREFIX}")
  configure_file("${CRATORIA_LAUNCHER_IN}" "${CRATORIA_LAUNCHER_WORK}/${key}/cratoria" @ONLY)
  # file(INSTALL) puts DESTDIR in front by itself.
  file(INSTALL DESTINATION "${CRATORIA_BINDIR}" TYPE PROGRAM
    FILES "${CRATORIA_LAUNCHER_WORK}/${key}/cratoria")
]=])
