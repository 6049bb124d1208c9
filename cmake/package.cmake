# Install rules and the Debian package (scripts/package.sh runs cpack).
# Layout under the prefix (/usr in the package):
#   lib/games/varnelo/varnelo       the game (architecture-dependent)
#   share/games/varnelo/Shaders     its shaders and models, read relative to
#   share/games/varnelo/Models      the working directory
#   games/varnelo                   the launcher, which runs the game in the
#                                   player's own folder (it writes terrain.bmp)
#   share/applications, share/icons, share/man, share/doc
# The launcher finds the other files from its own place, so any prefix works.

set(VARNELO_VERSION ${PROJECT_VERSION})
set(VARNELO_PACKAGE_MAINTAINER "Varnelo maintainers <varnelo@example.org>"
  CACHE STRING "Maintainer field of the Debian package")

# Made at build time: the desktop icons (from the image generator's cake
# icon) and the compressed manual page and changelog. gzip -n keeps names and
# times out of the files, so every build packs the same bytes.
set(VARNELO_PACKAGE_BUILD_DIR ${CMAKE_BINARY_DIR}/packaging)
set(VARNELO_ICON_SIZES 48 128 256)
set(VARNELO_ICON_FILES)
foreach(size ${VARNELO_ICON_SIZES})
  list(APPEND VARNELO_ICON_FILES ${VARNELO_PACKAGE_BUILD_DIR}/icons/varnelo-${size}.png)
endforeach()
add_custom_command(OUTPUT ${VARNELO_ICON_FILES}
  COMMAND make_images --icons ${VARNELO_PACKAGE_BUILD_DIR}/icons
  DEPENDS make_images
  COMMENT "Generating the desktop icons")

set(VARNELO_GZIPPED)
foreach(source varnelo.6 changelog)
  set(gzipped ${VARNELO_PACKAGE_BUILD_DIR}/${source}.gz)
  add_custom_command(OUTPUT ${gzipped}
    COMMAND sh -c "gzip -9 -n -c \"$1\" > \"$2.part\" && mv \"$2.part\" \"$2\"" sh
      ${CMAKE_SOURCE_DIR}/packaging/${source} ${gzipped}
    DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${source}
    VERBATIM)
  list(APPEND VARNELO_GZIPPED ${gzipped})
endforeach()
add_custom_target(package_files ALL DEPENDS ${VARNELO_ICON_FILES} ${VARNELO_GZIPPED})

# Installing (and so packaging) builds nothing on its own: scripts/package.sh
# builds the game and package_files, and the package test packs a tree that is
# already built, instead of every test and benchmark first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(VARNELO_FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

install(TARGETS varnelo RUNTIME DESTINATION lib/games/varnelo)
install(PROGRAMS packaging/varnelo.sh DESTINATION games RENAME varnelo)
install(DIRECTORY Shaders/ DESTINATION share/games/varnelo/Shaders
  FILE_PERMISSIONS ${VARNELO_FILE_PERMISSIONS})
# Models/ is generated into the source tree by the build; only the game's
# file kinds go in, not what an interrupted generator may have left there.
install(DIRECTORY Models/ DESTINATION share/games/varnelo/Models
  FILE_PERMISSIONS ${VARNELO_FILE_PERMISSIONS}
  FILES_MATCHING PATTERN "*.dae" PATTERN "*.tga")
install(FILES packaging/varnelo.desktop DESTINATION share/applications
  PERMISSIONS ${VARNELO_FILE_PERMISSIONS})
foreach(size ${VARNELO_ICON_SIZES})
  install(FILES ${VARNELO_PACKAGE_BUILD_DIR}/icons/varnelo-${size}.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME varnelo.png
    PERMISSIONS ${VARNELO_FILE_PERMISSIONS})
endforeach()
install(FILES ${VARNELO_PACKAGE_BUILD_DIR}/varnelo.6.gz DESTINATION share/man/man6
  PERMISSIONS ${VARNELO_FILE_PERMISSIONS})
install(FILES packaging/copyright ${VARNELO_PACKAGE_BUILD_DIR}/changelog.gz DESTINATION share/doc/varnelo
  PERMISSIONS ${VARNELO_FILE_PERMISSIONS})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnelo)
set(CPACK_PACKAGE_VERSION ${VARNELO_VERSION})
set(CPACK_PACKAGE_VENDOR "The Varnelo developers")
set(CPACK_PACKAGE_CONTACT ${VARNELO_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D game of collecting cakes before the ghosts steal them")
set(CPACK_PACKAGE_DESCRIPTION "\
Steer the heroine across the torte, a landscape shaped like a tiered cake,
and collect the ten cakes that lie about while thirty-two ghosts patrol and
try to steal them. Bring at least eight cakes to the phantom, the
see-through ghost floating over the top tier, to win. Snow falls all the
time.
.
The game draws with OpenGL 3.2: per-pixel lighting, a shadow map and
particle snow. Mesa's software renderer runs it where no graphics card
is available.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VARNELO_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The runtime libraries (GLFW, GLEW, Assimp, libGL, ...) come from
# dpkg-shlibdeps on the installed game, with the versions it was built against.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
