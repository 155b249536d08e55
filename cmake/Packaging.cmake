# Debian package of the program: cpack -G DEB, run from the build folder after the build.
# Installing and packaging take what the build made; they do not build the whole tree first,
# so neither waits for the test programs and benchmarks, which the package does not hold.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(CPACK_PACKAGE_NAME tarsel)
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_CONTACT "Norvane <contact@norvane.fr>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "sauvegarde datée de fichiers / date-based file backup")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
    set(CPACK_GENERATOR DEB)
endif()

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME tarsel)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Norvane <contact@norvane.fr>")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "Tarsel copie dans un dossier cible, ou archive dans un fichier ZIP daté avec
7-Zip, les fichiers d'une arborescence qui répondent à un masque et dont la
dernière modification date d'avant, du jour ou d'après un jour choisi.
.
Tarsel copies into a target folder, or packs into one dated ZIP archive with
7-Zip, the files of a folder tree that match a mask and were last written
before, on or after a chosen day.")
# Linking does not show what is loaded at run time: the SVG plugins (program and toolbar
# icons) come with libqt6svg6, the window-system plugins with qt6-qpa-plugins, and the
# archives are made by the 7-Zip console program.
set(TARSEL_DEB_RUNTIME_DEPENDS "libqt6svg6 (>= 6.4), qt6-qpa-plugins (>= 6.4), 7zip | p7zip-full")
# dpkg-shlibdeps adds the linked libraries (C and C++ run-times, Qt Core, Gui, Widgets and
# Network) with the versions their symbols need; without it they are named here.
find_program(TARSEL_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(TARSEL_DPKG_SHLIBDEPS)
if(TARSEL_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "${TARSEL_DEB_RUNTIME_DEPENDS}")
else()
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libc6 (>= 2.34), libstdc++6 (>= 11), libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libqt6network6 (>= 6.4), ${TARSEL_DEB_RUNTIME_DEPENDS}")
endif()

include(CPack)
