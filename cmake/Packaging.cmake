# The Debian package: `cpack` in a build directory (scripts/package does it all) makes
# rtu7350_<version>_<arch>.deb from what `cmake --install` puts in place, under /usr.

set(RTU7350_MAINTAINER "rtu7350 maintainers <rtu7350@example.com>"
    CACHE STRING "Maintainer named in the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rtu7350)
set(CPACK_PACKAGE_CONTACT "${RTU7350_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "set-up tool for the Model 7350 Terminal Unit")
# Lines of at most 79 characters: the control file indents them by one.
set(CPACK_PACKAGE_DESCRIPTION
    "A technician connects a PC to a Model 7350 Terminal Unit, a field remote
terminal unit that watches storage tanks, edits its settings (clock, poll
period, LCD texts, tanks and output modules), programs them into the unit or
reads them back, and keeps them as a configuration file.
.
This package holds the desktop program rtu7350, the command-line tool
rtu7350-cli for scripts, and rtu7350-sim, a simulated unit on a
pseudo-terminal for trying both without a unit.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# No debugging symbols in the package, and the usual permissions whatever the umask.
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The dependencies (Qt 6 and the C++ runtime) come from the libraries the programs link,
# through dpkg-shlibdeps, so they name the package versions of the distribution built on.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)

include(CPack)
