# CPack settings of the Debian package `varnoket`, built by
# `cmake --build BUILD --target package` (scripts/package.sh builds, checks and
# installs it). Included from the top-level CMakeLists.txt, which owns the
# package target.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME varnoket)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Varnoket developers")
set(CPACK_PACKAGE_CONTACT "Varnoket developers <maintainers@varnoket.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "daily backup of a set of folders, from the notification area")
set(CPACK_PACKAGE_DESCRIPTION
    "Varnoket saves every changed file of a set of directories once a day into a
store of day folders: each file its own bzip2 stream, each day a list of the
whole set, so any kept day can be restored file by file. It keeps a chosen
number of days and writes an activity log of every run.
.
This package holds the desktop program, which lives in the notification area,
and varnoket-cli, which backs up, lists, verifies and restores from a
terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the programs link, with the versions dpkg-shlibdeps reads
# from the build machine's packages.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own catalogues: its standard dialogs (the folder picker, a box's
# buttons) in the language of the program's texts. CPack adds the libraries
# found above to this list.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Folders of the package are 0755 whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
                                                GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
