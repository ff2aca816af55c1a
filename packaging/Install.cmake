# Installing Kinemorph as a desktop program: `cmake --install build --prefix
# P` and the Debian package (`cpack -G DEB` in the build folder, or `make
# package`). Included at the end of the top-level CMakeLists.txt, once every
# program's target exists.
set(KINEMORPH_SHARE ${CMAKE_INSTALL_DATADIR}/kinemorph)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(KINEMORPH_MAINTAINER "Kinemorph developers <kinemorph@example.org>"
  CACHE STRING "The Maintainer field of the Debian package")

# Compresses INPUT to OUTPUT at build time, as Debian ships manual pages and
# changelogs; -n keeps the bytes the same from one build to the next.
function(kinemorph_gzip input output)
  get_filename_component(folder ${output} DIRECTORY)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND sh -c "gzip -9n -c \"$0\" > \"$1\"" ${input} ${output}
    DEPENDS ${input} VERBATIM)
endfunction()

# Every program that is built, each with its manual page. A tool added
# later only needs its target and packaging/man/<name>.1.
set(man_pages "")
foreach(program kinemorph kinemorph-export kinemorph-import kinemorph-render)
  if(NOT TARGET ${program})
    continue()
  endif()
  install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  set(page ${packaging}/man/${program}.1)
  if(NOT EXISTS ${page})
    message(WARNING "${program} has no manual page: write ${page}")
    continue()
  endif()
  set(gz ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
  kinemorph_gzip(${page} ${gz})
  list(APPEND man_pages ${gz})
  install(FILES ${gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(kinemorph_man_pages ALL DEPENDS ${man_pages})
# The video encoders the editor loads at its first render, where it looks
# for them from its own place (bin/../lib/kinemorph/modules; a folder below
# lib/kinemorph, so the package needs no ldconfig for a private module).
install(TARGETS kinemorph-encoders LIBRARY DESTINATION lib/kinemorph/modules)

# The shipped resources, file by file: a developer's own saves, backups,
# autosaves and renders in resources/ never reach an install.
install(FILES resources/config/settings.ini DESTINATION ${KINEMORPH_SHARE}/config)
install(FILES resources/config/skeleton/default.rgcf DESTINATION ${KINEMORPH_SHARE}/config/skeleton)
install(FILES
  resources/config/skeleton/animations/walk.rgaf
  resources/config/skeleton/animations/wave.rgaf
  resources/config/skeleton/animations/jump.rgaf
  DESTINATION ${KINEMORPH_SHARE}/config/skeleton/animations)
install(FILES resources/fonts/README.md DESTINATION ${KINEMORPH_SHARE}/fonts)
foreach(font lacuna/LACURG__.TTF echolot/ECHOLOT_.TTF)
  get_filename_component(folder ${font} DIRECTORY)
  install(FILES resources/fonts/${font} resources/fonts/${folder}/LICENSE.txt
    DESTINATION ${KINEMORPH_SHARE}/fonts/${folder})
endforeach()
install(FILES resources/music/mainmusic.ogg DESTINATION ${KINEMORPH_SHARE}/music)

# The desktop's view: the menu entry, the file type, the icon.
install(FILES ${packaging}/kinemorph.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${packaging}/kinemorph-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
  RENAME kinemorph.xml)
foreach(size 48 128 256)
  install(FILES ${packaging}/icons/kinemorph-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME kinemorph.png)
endforeach()
install(FILES ${packaging}/icons/kinemorph.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${packaging}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kinemorph)
# Debian asks every package for its changelog; the entry carries the
# project's version and maintainer.
configure_file(${packaging}/changelog.in ${CMAKE_BINARY_DIR}/doc/changelog @ONLY)
kinemorph_gzip(${CMAKE_BINARY_DIR}/doc/changelog ${CMAKE_BINARY_DIR}/doc/changelog.gz)
add_custom_target(kinemorph_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/doc/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/doc/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kinemorph)

# The Debian package: kinemorph_<version>_amd64.deb, installing to /usr,
# its Depends worked out from the programs' shared libraries.
# Packaging installs what is built and builds nothing itself (`make
# package` builds first): a package test never turns into a whole build.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kinemorph)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CONTACT ${KINEMORPH_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "skeletal character animator")
# The extended description; CPack puts the summary above it and indents it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kinemorph shows a human figure of 21 bones in one OpenGL window. Pose it
with the mouse and on-screen buttons, build an animation of key frames
(each with a wait, a transition and an easing curve), play it back, save
it and load it again. kinemorph-export turns a saved animation into
glTF 2.0 or BVH for other tools.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
