# The Debian packages: `cpack -G DEB` in the build folder makes zelvakon-cli (the headless build,
# QtCore only, what a CI image installs) and zelvakon (the window). The program folder is
# /usr/lib/zelvakon; the launchers, the menu entry and the rest go below /usr
# (ZELVAKON_DESKTOP_PREFIX), which is why the packages are staged with DESTDIR.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelvakon)
set(CPACK_PACKAGE_VENDOR "Zelvakon")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_PACKAGE_CONTACT ${ZELVAKON_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${ZELVAKON_MAINTAINER})
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr/lib/zelvakon)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr/lib/zelvakon)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli gui)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_SOURCE zelvakon)
set(CPACK_DEBIAN_CLI_PACKAGE_NAME zelvakon-cli)
set(CPACK_DEBIAN_GUI_PACKAGE_NAME zelvakon)
# dpkg-shlibdeps finds the libraries the programs link, with their versions.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

set(CPACK_DEBIAN_CLI_DESCRIPTION "builder of Vorvanex installation packages, without a window
Zelvakon describes a program to be distributed as a project, packs its
folder with the WinRAR archiver and writes the data file that the Vorvanex
extractor unpacks on the target machine.
.
This package holds zelvakon-cli, which builds saved projects and reads data
files without a window. Its messages are Czech.")
set(CPACK_DEBIAN_GUI_DESCRIPTION "builder of Vorvanex installation packages
Zelvakon describes a program to be distributed as a project, packs its
folder with the WinRAR archiver and writes the data file that the Vorvanex
extractor unpacks on the target machine.
.
This package holds the program with its window and help. Czech user
interface.")

# What no linker sees: the window needs the headless package (Readme.txt, the installed-copy mark),
# the platform plugins, SDL2_mixer (loaded when music is first played), the General MIDI sound font
# that the mixer only recommends, and Qt's Czech translation.
set(guiDepends "zelvakon-cli (= ${ZELVAKON_DEB_VERSION})" "qt6-qpa-plugins (>= 6.4)"
    "libsdl2-2.0-0 (>= 2.0)" "libsdl2-mixer-2.0-0 (>= 2.6)" "timgm6mb-soundfont" "qt6-translations-l10n")
list(JOIN guiDepends ", " CPACK_DEBIAN_GUI_PACKAGE_DEPENDS)
# Clears what an earlier package's root start left under /opt/zelvakon.
set(CPACK_DEBIAN_GUI_PACKAGE_CONTROL_EXTRA ${ZELVAKON_PACKAGING_DIR}/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
