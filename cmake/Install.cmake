# Installation. The install prefix is one self-contained program folder, as the program expects:
# the executables, Zelvakon.hlp, Readme.txt and the icon side by side. Outside it go the launchers,
# the menu entry, the file type, the icons, the manual pages and the licence (below
# ZELVAKON_DESKTOP_PREFIX). Two components: cli (zelvakon-cli and what both programs need) and gui
# (the window), which the Debian packages zelvakon-cli and zelvakon are made of.

# /usr/local is CMake's own default (kept in build folders configured before this file existed);
# as a program folder it would spread Readme.txt and Zelvakon.hlp over /usr/local.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT OR CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
  set(CMAKE_INSTALL_PREFIX /opt/zelvakon CACHE PATH "Program folder of the installed copy" FORCE)
endif()
set(ZELVAKON_DESKTOP_PREFIX /usr CACHE PATH
    "Where the launchers (bin), the menu entry, icons, manual pages and licence (share) go")
set(ZELVAKON_MAINTAINER "Zelvakon maintainers <maintainers@users.noreply.c-seed-724f18f4.example>"
    CACHE STRING "Maintainer of the Debian packages")
set(ZELVAKON_DEB_VERSION ${PROJECT_VERSION}-1)

set(ZELVAKON_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(ZELVAKON_ICON_DIR ${CMAKE_SOURCE_DIR}/resources/icons)
set(share ${ZELVAKON_DESKTOP_PREFIX}/share)

# The build tree's bin folder is a program folder too: give it the same note.
configure_file(${ZELVAKON_PACKAGING_DIR}/Readme.txt ${CMAKE_BINARY_DIR}/bin/Readme.txt COPYONLY)

install(TARGETS zelvakon RUNTIME DESTINATION . COMPONENT gui)
install(FILES ${CMAKE_SOURCE_DIR}/resources/Zelvakon.hlp ${ZELVAKON_ICON_DIR}/zelvakon.svg
              ${CMAKE_BINARY_DIR}/bin/napoveda-program.png ${CMAKE_BINARY_DIR}/bin/napoveda-plochy.png
        DESTINATION . COMPONENT gui)
# The mark of an installed copy: its working folders go to the per-user folder, never beside the
# executables, even for root. A copy of the build tree has no mark and stays portable.
install(FILES ${ZELVAKON_PACKAGING_DIR}/Readme.txt ${ZELVAKON_PACKAGING_DIR}/installed-copy DESTINATION . COMPONENT cli)
install(TARGETS zelvakon-cli RUNTIME DESTINATION . COMPONENT cli)

# Launchers: small shell scripts that find the program folder relative to themselves, so they are
# written at install time, when the prefix is final (cmake --install --prefix may change it).
foreach(program zelvakon zelvakon-cli)
  set(component gui)
  if(program STREQUAL "zelvakon-cli")
    set(component cli)
  endif()
  install(CODE "
set(launcherDir \"${ZELVAKON_DESKTOP_PREFIX}/bin\")
file(RELATIVE_PATH TO_PROGRAM_FOLDER \"\${launcherDir}\" \"\${CMAKE_INSTALL_PREFIX}\")
set(PROGRAM ${program})
configure_file(\"${ZELVAKON_PACKAGING_DIR}/launcher.in\" \"${CMAKE_BINARY_DIR}/launchers/${program}\" @ONLY)
file(INSTALL DESTINATION \"\${launcherDir}\" TYPE PROGRAM FILES \"${CMAKE_BINARY_DIR}/launchers/${program}\")
" COMPONENT ${component})
endforeach()

install(FILES ${ZELVAKON_PACKAGING_DIR}/zelvakon.desktop DESTINATION ${share}/applications COMPONENT gui)
install(FILES ${ZELVAKON_PACKAGING_DIR}/zelvakon-mime.xml DESTINATION ${share}/mime/packages
        RENAME zelvakon.xml COMPONENT gui)
set(iconTheme ${share}/icons/hicolor)
install(FILES ${ZELVAKON_ICON_DIR}/zelvakon.svg DESTINATION ${iconTheme}/scalable/apps COMPONENT gui)
install(FILES ${ZELVAKON_ICON_DIR}/zelvakon.svg DESTINATION ${iconTheme}/scalable/mimetypes
        RENAME application-x-zelvakon-project.svg COMPONENT gui)
foreach(size 48 256)
  install(FILES ${ZELVAKON_ICON_DIR}/zelvakon-${size}.png
          DESTINATION ${iconTheme}/${size}x${size}/apps RENAME zelvakon.png COMPONENT gui)
  install(FILES ${ZELVAKON_ICON_DIR}/zelvakon-${size}.png
          DESTINATION ${iconTheme}/${size}x${size}/mimetypes RENAME application-x-zelvakon-project.png COMPONENT gui)
endforeach()

# Manual pages and the Debian changelog, compressed as Debian wants them (no name, no time stamp).
set(packagingOut ${CMAKE_BINARY_DIR}/packaging)
configure_file(${ZELVAKON_PACKAGING_DIR}/changelog.Debian.in ${packagingOut}/changelog.Debian @ONLY)
configure_file(${ZELVAKON_PACKAGING_DIR}/copyright.in ${packagingOut}/copyright @ONLY)
set(compressed)
foreach(file zelvakon.1 zelvakon-cli.1 changelog.Debian)
  set(source ${ZELVAKON_PACKAGING_DIR}/${file})
  if(file STREQUAL "changelog.Debian")
    set(source ${packagingOut}/${file})
  endif()
  add_custom_command(OUTPUT ${packagingOut}/${file}.gz
                     COMMAND sh -c "gzip -9nc < \"$0\" > \"$1\"" ${source} ${packagingOut}/${file}.gz
                     DEPENDS ${source} VERBATIM)
  list(APPEND compressed ${packagingOut}/${file}.gz)
endforeach()
add_custom_target(zelvakon-packaging ALL DEPENDS ${compressed})
install(FILES ${packagingOut}/zelvakon.1.gz DESTINATION ${share}/man/man1 COMPONENT gui)
install(FILES ${packagingOut}/zelvakon-cli.1.gz DESTINATION ${share}/man/man1 COMPONENT cli)
foreach(package zelvakon zelvakon-cli)
  set(component gui)
  if(package STREQUAL "zelvakon-cli")
    set(component cli)
  endif()
  install(FILES ${packagingOut}/copyright ${packagingOut}/changelog.Debian.gz
          DESTINATION ${share}/doc/${package} COMPONENT ${component})
endforeach()

# The install test packs this build tree with CPack.
if(TARGET tst_install)
  target_compile_definitions(tst_install PRIVATE ZELVAKON_CPACK="${CMAKE_CPACK_COMMAND}"
                             ZELVAKON_DEB_VERSION="${ZELVAKON_DEB_VERSION}")
  add_dependencies(tst_install zelvakon-packaging)
  if(ZELVAKON_SANITIZE OR ZELVAKON_FUZZ)
    target_compile_definitions(tst_install PRIVATE ZELVAKON_SANITIZED)
  endif()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
