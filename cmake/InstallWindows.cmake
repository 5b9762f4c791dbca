# Installation of the Windows programs into one folder, as the installer and
# the zip carry them (scripts/package-windows.sh):
#
#   TodayMirvo.exe, mirvo-today.exe   the programs (linked statically)
#   Kosmera.dat, TodayMirvo.chm       the data file and the help file
#   translations/qtbase_ja.qm         Qt's own texts in Japanese
#   LICENSE.txt                       the licence, with Windows line ends
#   LICENSE.ja.txt                    its Japanese reading (UTF-8 with a byte order
#                                     mark, which Notepad and the installer's page read)
#
# Installed into Program Files, the folder is not the user's to write: the
# programs then keep the settings and the member list in %APPDATA%\TodayMirvo.
install(TARGETS mirvo-today RUNTIME DESTINATION .)
install(FILES ${MIRVO_RUNTIME_DIR}/Kosmera.dat DESTINATION .)
if(MIRVO_BUILD_GUI)
  install(TARGETS TodayMirvo RUNTIME DESTINATION .)
  install(FILES ${MIRVO_RUNTIME_DIR}/TodayMirvo.chm DESTINATION .)
  install(FILES ${MIRVO_QTBASE_JA} DESTINATION translations)
endif()
file(READ ${PROJECT_SOURCE_DIR}/LICENSE mirvo_licence)
string(REPLACE "\n" "\r\n" mirvo_licence "${mirvo_licence}")
file(WRITE ${CMAKE_BINARY_DIR}/LICENSE.txt "${mirvo_licence}")
install(FILES ${CMAKE_BINARY_DIR}/LICENSE.txt DESTINATION .)
file(READ ${PROJECT_SOURCE_DIR}/windows/LICENSE.ja.txt mirvo_licence_ja)
string(REPLACE "\n" "\r\n" mirvo_licence_ja "${mirvo_licence_ja}")
string(ASCII 239 187 191 mirvo_byte_order_mark)
file(WRITE ${CMAKE_BINARY_DIR}/LICENSE.ja.txt "${mirvo_byte_order_mark}${mirvo_licence_ja}")
install(FILES ${CMAKE_BINARY_DIR}/LICENSE.ja.txt DESTINATION .)
