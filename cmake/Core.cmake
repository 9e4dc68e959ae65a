# qornc_core: every rule that needs neither a window nor a socket. Standard C++ only: it must
# build with no Qt on its include path.
add_library(qornc_core STATIC
  app/SettingsFiles.cpp
  app/SetupRules.cpp
  net/ConnectionState.cpp
  net/ErrorNames.cpp
  net/LoginWatch.cpp
  net/Mailbox.cpp
  net/NotificationHandler.cpp
  presence/ContactText.cpp
  presence/PresenceRefresh.cpp
  presence/PresenceTable.cpp
  ui/ConversationEntry.cpp
  ui/DisplayText.cpp
  ui/MessageSend.cpp
)
target_include_directories(qornc_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_features(qornc_core PUBLIC cxx_std_20)
target_link_libraries(qornc_core PUBLIC qornc_protocol PRIVATE qornc_warnings)
target_compile_options(qornc_core PRIVATE -Wconversion)
