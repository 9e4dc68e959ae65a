# What `cmake --install` lays out for a desktop: the two programs, the launcher a menu entry
# runs (it gives the client its own settings folder), the menu entry and the icon theme files.
include(GNUInstallDirs)

# The client installs itself in cmake/Client.cmake; the server is the one a user runs locally.
if(TARGET qornc-server)
  install(TARGETS qornc-server RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(PROGRAMS scripts/qornc-launcher DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES res/qornc.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The PNGs are rendered once from the XPMs, the pictures' source, and committed (the client builds
# every size in), so neither the build nor the install needs ImageMagick. After a change to
# res/*.xpm, from the source folder:
#   for s in 16 32 48 64 128 256; do d=res/icons/hicolor/${s}x${s}/apps; mkdir -p $d
#     for p in mainframe:qornc alert:qornc-alert; do src=res/${p%%:*}.xpm out=$d/${p##*:}.png
#       case $s in
#         32) convert $src -strip PNG32:$out ;;
#         64|128|256) convert $src -scale $((s * 100 / 32))% -strip PNG32:$out ;;
#         *) convert $src -scale 800% -resize ${s}x${s} -strip PNG32:$out ;;
#       esac; done; done
# Whole multiples keep the pixel art sharp; 16 and 48 are not, so they are smoothed down from 256.
# The alert icon goes in as qornc-alert, for a desktop that wants to show the waiting message.
install(DIRECTORY res/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons FILES_MATCHING PATTERN "*.png")
