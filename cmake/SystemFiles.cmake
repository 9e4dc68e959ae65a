# What a system install adds beside the programs: the manual pages, the AppStream metadata that
# software centres read, and the server's systemd unit (installed, never enabled).

# Compressed at build time, without name or time stamp, so the same source gives the same bytes.
find_program(QORNC_GZIP gzip REQUIRED)
set(QORNC_GZIPPED_DIR ${CMAKE_CURRENT_BINARY_DIR}/gzipped)
file(MAKE_DIRECTORY ${QORNC_GZIPPED_DIR})
set(QORNC_GZIPPED_FILES)
# Leaves SOURCE compressed as gzipped/NAME.gz and returns that path in the variable OUT.
function(qornc_gzip source name out)
  set(target ${QORNC_GZIPPED_DIR}/${name})
  add_custom_command(OUTPUT ${target}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${target}
    COMMAND ${QORNC_GZIP} -9nf ${target}
    DEPENDS ${source}
    VERBATIM)
  set(QORNC_GZIPPED_FILES ${QORNC_GZIPPED_FILES} ${target}.gz PARENT_SCOPE)
  set(${out} ${target}.gz PARENT_SCOPE)
endfunction()

qornc_gzip(${CMAKE_CURRENT_SOURCE_DIR}/res/man/qornc.1 qornc.1 QORNC_CLIENT_PAGE)
set(QORNC_MAN_PAGES ${QORNC_CLIENT_PAGE})
# The server's page comes with the server's sources; a tree without it still builds.
if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/server/qornc-server.1)
  qornc_gzip(${CMAKE_CURRENT_SOURCE_DIR}/server/qornc-server.1 qornc-server.1 QORNC_SERVER_PAGE)
  list(APPEND QORNC_MAN_PAGES ${QORNC_SERVER_PAGE})
endif()
# Debian's places for a native package's history and its copyright notice.
qornc_gzip(${CMAKE_CURRENT_SOURCE_DIR}/res/debian/changelog changelog QORNC_CHANGELOG)
install(FILES ${QORNC_CHANGELOG} res/debian/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
add_custom_target(gzipped_docs ALL DEPENDS ${QORNC_GZIPPED_FILES})
# The launcher is described in the client's page.
file(CREATE_LINK qornc.1.gz ${QORNC_GZIPPED_DIR}/qornc-launcher.1.gz SYMBOLIC)
install(FILES ${QORNC_MAN_PAGES} ${QORNC_GZIPPED_DIR}/qornc-launcher.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES res/io.github.qornc.qornc.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The unit names the server by its installed path, which only the install step knows: the package
# installs to /usr, `cmake --install --prefix` anywhere.
if(TARGET qornc-server)
  install(CODE "set(QORNC_UNIT_SOURCE [[${CMAKE_CURRENT_SOURCE_DIR}/server/qornc-server.service]])
    set(QORNC_UNIT_STAGING [[${CMAKE_CURRENT_BINARY_DIR}/generated/unit]])
    set(QORNC_UNIT_BINDIR [[${CMAKE_INSTALL_BINDIR}]])")
  install(SCRIPT cmake/InstallServiceUnit.cmake)
endif()
