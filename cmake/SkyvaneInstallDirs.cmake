# Where `cmake --install` puts things (GNUInstallDirs): programs in bin/, the
# panel's data (the weather icon folder) in share/skyvane, the menu entry,
# application icon and AppStream file in their freedesktop places.

# The documentation folder is named after the package, as Debian wants it,
# not after the CMake project.
set(CMAKE_INSTALL_DOCDIR "share/doc/skyvane" CACHE PATH "Documentation (DATAROOTDIR/doc/skyvane)")
include(GNUInstallDirs)

# The panel's own data folder.
set(SKYVANE_INSTALL_DATADIR "${CMAKE_INSTALL_DATADIR}/skyvane")

# The data folder as seen from the installed panel's folder ("../share/skyvane"
# in the usual layout), so that an installed tree still works when it is
# unpacked or moved elsewhere as a whole.
file(RELATIVE_PATH SKYVANE_DATA_FROM_BIN "${CMAKE_INSTALL_FULL_BINDIR}"
     "${CMAKE_INSTALL_FULL_DATADIR}/skyvane")

# The AppStream component id; the metainfo file is named after it.
set(SKYVANE_APP_ID "org.skyvane.skyvane")
