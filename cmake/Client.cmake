# The Qt layer: sockets, windows, tray and timers, kept thin over the core.
configure_file(res/Version.h.in ${CMAKE_CURRENT_BINARY_DIR}/generated/res/Version.h @ONLY)

add_library(qornc_qt STATIC
  app/CClientApp.cpp
  app/CSetupDlg.cpp
  app/ExitSignals.cpp
  app/SettingsWriter.cpp
  app/SingleCopyHandOver.cpp
  app/SingleCopyLock.cpp
  net/CLinkSocket.cpp
  net/NotificationListener.cpp
  net/ServerConnection.cpp
  net/SocketErrors.cpp
  presence/OnlineList.cpp
  res/Resources.cpp
  res/resources.qrc
  ui/AccessibleNames.cpp
  ui/ByteLimitValidator.cpp
  ui/CAboutDlg.cpp
  ui/CClientDlg.cpp
  ui/DesktopNotifier.cpp
  ui/DialogBuilder.cpp
  ui/EndingBoxes.cpp
  ui/EnterKeySend.cpp
  ui/IdlePump.cpp
  ui/InputLineLimit.cpp
  ui/LinkPresenter.cpp
  ui/MessageBoxes.cpp
  ui/QtBytes.cpp
  ui/StatusLine.cpp
  ui/StatusNotifierWatch.cpp
  ui/TextCapacityGuard.cpp
  ui/TextCatalog.cpp
  ui/TrayClick.cpp
  ui/TrayIcon.cpp
  ui/TrayMenu.cpp
  ui/TrayWatch.cpp
  ui/UserLanguage.cpp
  ui/WaylandActivation.cpp
  ui/WindowPlace.cpp
  ui/WindowReach.cpp
  ui/XEmbedTrayWatch.cpp
)
target_include_directories(qornc_qt PUBLIC ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_BINARY_DIR}/generated)
# xcb: the X notification area is watched on Qt's own X connection.
find_package(PkgConfig REQUIRED)
pkg_check_modules(XCB REQUIRED IMPORTED_TARGET xcb)
# xdg-activation: on Wayland the client passes the desktop's activation token on itself; the
# protocol's interface tables are generated C.
enable_language(C)
find_package(Qt6 REQUIRED COMPONENTS WaylandClient)
pkg_get_variable(WAYLAND_PROTOCOLS_DIR wayland-protocols pkgdatadir)
set(QORNC_XDG_ACTIVATION_XML ${WAYLAND_PROTOCOLS_DIR}/staging/xdg-activation/xdg-activation-v1.xml)
qt6_generate_wayland_protocol_client_sources(qornc_qt FILES ${QORNC_XDG_ACTIVATION_XML})
target_link_libraries(qornc_qt PUBLIC qornc_core Qt6::Widgets Qt6::Network Qt6::DBus
                      PRIVATE PkgConfig::XCB Qt6::WaylandClient Qt6::GuiPrivate qornc_warnings)

add_executable(qornc app/main.cpp app/ClientCommandLine.cpp)
target_link_libraries(qornc PRIVATE qornc_qt qornc_warnings)
install(TARGETS qornc RUNTIME DESTINATION bin)
include(cmake/Translations.cmake)
