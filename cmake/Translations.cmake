# The user's language: the German and French translation files are compiled with the build and
# embedded in the client under :/i18n, so the binary and the package carry them wherever it goes.
# lupdate and lrelease come from qt6-l10n-tools, which brings no CMake package of its own.
find_program(QORNC_LRELEASE lrelease HINTS /usr/lib/qt6/bin /usr/lib/qt6/libexec REQUIRED)
find_program(QORNC_LUPDATE lupdate HINTS /usr/lib/qt6/bin /usr/lib/qt6/libexec REQUIRED)

set(QORNC_LANGUAGES de fr)
set(QORNC_TS_FILES)
set(QORNC_QM_FILES)
foreach(language IN LISTS QORNC_LANGUAGES)
  set(ts ${CMAKE_CURRENT_SOURCE_DIR}/res/translations/qornc_${language}.ts)
  set(qm ${CMAKE_CURRENT_BINARY_DIR}/i18n/qornc_${language}.qm)
  add_custom_command(OUTPUT ${qm}
    COMMAND ${QORNC_LRELEASE} -silent ${ts} -qm ${qm}
    DEPENDS ${ts}
    COMMENT "Compiling the ${language} translation")
  list(APPEND QORNC_TS_FILES ${ts})
  list(APPEND QORNC_QM_FILES ${qm})
endforeach()

qt6_add_resources(qornc_qt qornc_translations PREFIX /i18n BASE ${CMAKE_CURRENT_BINARY_DIR}/i18n
                  FILES ${QORNC_QM_FILES})

# `cmake --build <dir> --target qornc_lupdate` brings the translation files up to date with the
# sources; a text without a finished translation then fails the translations check.
add_custom_target(qornc_lupdate
  COMMAND ${QORNC_LUPDATE} -silent -locations none app ui net presence res -ts ${QORNC_TS_FILES}
  WORKING_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR}
  VERBATIM)
