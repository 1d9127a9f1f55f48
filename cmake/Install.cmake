# Installation. The install prefix is one self-contained program folder, as the program expects:
# the executables, Zelvakon.hlp, Readme.txt and the icon side by side. Outside it go the launchers,
# the menu entry and the icons of the desktop (below ZELVAKON_DESKTOP_PREFIX).

# /usr/local is CMake's own default (kept in build folders configured before this file existed);
# as a program folder it would spread Readme.txt and Zelvakon.hlp over /usr/local.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT OR CMAKE_INSTALL_PREFIX STREQUAL "/usr/local")
  set(CMAKE_INSTALL_PREFIX /opt/zelvakon CACHE PATH "Program folder of the installed copy" FORCE)
endif()
set(ZELVAKON_DESKTOP_PREFIX /usr CACHE PATH "Where the launchers (bin), the menu entry and the icons (share) go")

set(ZELVAKON_PACKAGING_DIR ${CMAKE_SOURCE_DIR}/packaging)
set(ZELVAKON_ICON_DIR ${CMAKE_SOURCE_DIR}/resources/icons)

# The build tree's bin folder is a program folder too: give it the same note.
configure_file(${ZELVAKON_PACKAGING_DIR}/Readme.txt ${CMAKE_BINARY_DIR}/bin/Readme.txt COPYONLY)

set(ZELVAKON_LAUNCHED zelvakon)
install(TARGETS zelvakon RUNTIME DESTINATION .)
if(TARGET zelvakon-cli)
  list(APPEND ZELVAKON_LAUNCHED zelvakon-cli)
  install(TARGETS zelvakon-cli RUNTIME DESTINATION .)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/resources/Zelvakon.hlp ${ZELVAKON_PACKAGING_DIR}/Readme.txt
              ${ZELVAKON_ICON_DIR}/zelvakon.svg
        DESTINATION .)

# Launchers: small shell scripts that find the program folder relative to themselves, so they are
# written at install time, when the prefix is final (cmake --install --prefix may change it).
install(CODE "
set(launcherDir \"${ZELVAKON_DESKTOP_PREFIX}/bin\")
file(RELATIVE_PATH TO_PROGRAM_FOLDER \"\${launcherDir}\" \"\${CMAKE_INSTALL_PREFIX}\")
foreach(PROGRAM ${ZELVAKON_LAUNCHED})
  configure_file(\"${ZELVAKON_PACKAGING_DIR}/launcher.in\" \"${CMAKE_BINARY_DIR}/launchers/\${PROGRAM}\" @ONLY)
  file(INSTALL DESTINATION \"\${launcherDir}\" TYPE PROGRAM FILES \"${CMAKE_BINARY_DIR}/launchers/\${PROGRAM}\")
endforeach()
")

install(FILES ${ZELVAKON_PACKAGING_DIR}/zelvakon.desktop DESTINATION ${ZELVAKON_DESKTOP_PREFIX}/share/applications)
set(iconTheme ${ZELVAKON_DESKTOP_PREFIX}/share/icons/hicolor)
install(FILES ${ZELVAKON_ICON_DIR}/zelvakon.svg DESTINATION ${iconTheme}/scalable/apps)
foreach(size 48 256)
  install(FILES ${ZELVAKON_ICON_DIR}/zelvakon-${size}.png
          DESTINATION ${iconTheme}/${size}x${size}/apps RENAME zelvakon.png)
endforeach()

# The install test packs this build tree with CPack and must know whether zelvakon-cli belongs to it.
if(TARGET tst_install)
  target_compile_definitions(tst_install PRIVATE ZELVAKON_CPACK="${CMAKE_CPACK_COMMAND}")
  if(TARGET zelvakon-cli)
    target_compile_definitions(tst_install PRIVATE ZELVAKON_HAVE_CLI)
  endif()
  if(ZELVAKON_SANITIZE OR ZELVAKON_FUZZ)
    target_compile_definitions(tst_install PRIVATE ZELVAKON_SANITIZED)
  endif()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
