# qornc_core: every rule that needs neither a window nor a socket, built from the rules/ folders
# alone, so the tree shows what it holds. Standard C++ only: it must build with no Qt on its
# include path, and links nothing but the shared protocol library.
file(GLOB qornc_core_sources CONFIGURE_DEPENDS
  ${CMAKE_CURRENT_SOURCE_DIR}/app/rules/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/net/rules/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/presence/rules/*.cpp
  ${CMAKE_CURRENT_SOURCE_DIR}/ui/rules/*.cpp
)
add_library(qornc_core STATIC ${qornc_core_sources})
target_include_directories(qornc_core PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_compile_features(qornc_core PUBLIC cxx_std_20)
target_link_libraries(qornc_core PUBLIC qornc_protocol PRIVATE qornc_warnings)
target_compile_options(qornc_core PRIVATE -Wconversion)
