# The Debian package: `cpack -G DEB` in the build folder. The program folder is /opt/zelvakon;
# the launchers, the menu entry and the icons go below /usr (ZELVAKON_DESKTOP_PREFIX), which is
# why the package is staged with DESTDIR.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelvakon)
set(CPACK_PACKAGE_VENDOR "Zelvakon")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "builder of installation packages for the Vorvanex extractor")
set(CPACK_PACKAGE_DESCRIPTION "Zelvakon describes a program to be distributed as a project, packs
its folder with the WinRAR archiver and writes the data file that the
Vorvanex extractor unpacks on the target machine. Czech user interface.")
set(CPACK_PACKAGE_CONTACT "Zelvakon developers <zelvakon@localhost>")
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /opt/zelvakon)
set(CPACK_PACKAGING_INSTALL_PREFIX /opt/zelvakon)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
# The runtime packages of Qt 6 (the platform plugins are a package of their own), fontconfig,
# SDL2_mixer (loaded when music is first played, so no tool finds it in the binary) and the General
# MIDI sound font that the mixer only recommends. The versions are what dpkg-shlibdeps finds for
# the binary built on Debian 12.
set(depends
    "libc6 (>= 2.34)" "libgcc-s1 (>= 3.0)" "libstdc++6 (>= 5)"
    "libqt6core6 (>= 6.4)" "libqt6gui6 (>= 6.4)" "libqt6widgets6 (>= 6.4)" "qt6-qpa-plugins (>= 6.4)"
    "libfontconfig1 (>= 2.12.6)"
    "libsdl2-2.0-0 (>= 2.0)" "libsdl2-mixer-2.0-0 (>= 2.6)" "timgm6mb-soundfont")
list(JOIN depends ", " CPACK_DEBIAN_PACKAGE_DEPENDS)
include(CPack)
