# Runs at install time: writes the server's unit with ExecStart pointing at the server this
# install lays out, then installs it with the system's units of the same prefix.
if(IS_ABSOLUTE "${QORNC_UNIT_BINDIR}")
  set(bindir "${QORNC_UNIT_BINDIR}")
else()
  set(bindir "${CMAKE_INSTALL_PREFIX}/${QORNC_UNIT_BINDIR}")
endif()
file(READ "${QORNC_UNIT_SOURCE}" unit)
string(REPLACE "ExecStart=/usr/bin/qornc-server " "ExecStart=${bindir}/qornc-server " unit "${unit}")
# A staged copy for each destination, so two installs from one build at once cannot swap units.
string(SHA1 destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
set(staged "${QORNC_UNIT_STAGING}/${destination}/qornc-server.service")
file(WRITE "${staged}" "${unit}")
file(INSTALL "${staged}" DESTINATION "${CMAKE_INSTALL_PREFIX}/lib/systemd/system"
  PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
file(REMOVE_RECURSE "${QORNC_UNIT_STAGING}/${destination}")
