# The Debian package, built by `scripts/package.sh` (a release build, then `cpack -G DEB`).
# One package holds the client, its launcher and desktop files, and the reference server with
# its systemd unit. Its dependencies come from the binaries' own library needs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qornc)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The QORNC developers")
set(QORNC_PACKAGE_MAINTAINER "The QORNC developers <qornc@example.org>" CACHE STRING
  "Maintainer of the Debian package, as \"Name <address>\"")
set(CPACK_PACKAGE_CONTACT ${QORNC_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "instant-messaging client for a small private chat network")
set(CPACK_PACKAGE_DESCRIPTION [=[
QORNC logs in to one chat server, keeps a contact list, shows which
contacts are online, and sends and receives short text messages. Its window
lives behind an icon in the desktop's notification area, which blinks while
an unread message waits.

The package holds the client qornc, the launcher qornc-launcher that the
desktop menu runs (it keeps the settings in ~/.config/qornc), and the
reference chat server qornc-server with a systemd unit, installed but not
enabled.]=])

# Installed the way the system's packages are: under /usr, files owned by root with plain modes.
# CPack stages with DESTDIR, so the install step sees the prefix /usr and the unit names /usr/bin.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Wayland desktops need Qt's Wayland plugin, and Qt's own dialog buttons their translations;
# the client runs without either.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A running server is stopped before its program is removed. There is no postrm, so dpkg
# forgets the package entirely on removal: nothing is left for a purge.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_SOURCE_DIR}/res/debian/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

include(CPack)
