# Installation into a prefix (cmake --install <build> --prefix <prefix>):
#
#   <prefix>/lib/todaymirvo/   TodayMirvo, mirvo-today, Kosmera.dat, TodayMirvo.chm
#                              (the programs need their files beside them)
#   <prefix>/bin/              todaymirvo, mirvo-today: links to the programs
#   <prefix>/share/applications/<id>.desktop
#   <prefix>/share/metainfo/<id>.metainfo.xml
#   <prefix>/share/icons/hicolor/<size>/apps/<id>.png|svg
#   <prefix>/share/icons/hicolor/symbolic/apps/<id>-symbolic.svg
#   <prefix>/share/man/man1/, <prefix>/share/man/ja/man1/   the manual pages
# <id> is MIRVO_APP_ID (CMakeLists.txt).
#
# An installed program's folder is not the user's to write: the programs then
# keep the settings and the member list in the user's folders (start/programpaths.h).

# The release that the metainfo names: the file version (cmake/Version.cmake),
# which the about box shows and the Debian package carries (debian/changelog).
include(${PROJECT_SOURCE_DIR}/cmake/Version.cmake)
# Windows: everything in one folder (the installer's and the zip's).
if(WIN32)
  include(${PROJECT_SOURCE_DIR}/cmake/InstallWindows.cmake)
  return()
endif()
set(MIRVO_RELEASE_DATE 2026-12-07)
set(MIRVO_PROGRAM_DIR lib/todaymirvo)
set(MIRVO_DESKTOP_SOURCE ${PROJECT_SOURCE_DIR}/resources/desktop)

install(TARGETS mirvo-today RUNTIME DESTINATION ${MIRVO_PROGRAM_DIR})
install(FILES ${MIRVO_RUNTIME_DIR}/Kosmera.dat DESTINATION ${MIRVO_PROGRAM_DIR})
set(mirvo_links mirvo-today)
# Manual pages, English and Japanese, written in roff under docs/man.
set(mirvo_man_pages mirvo-today.1)

if(MIRVO_BUILD_GUI)
  install(TARGETS TodayMirvo RUNTIME DESTINATION ${MIRVO_PROGRAM_DIR})
  install(FILES ${MIRVO_RUNTIME_DIR}/TodayMirvo.chm DESTINATION ${MIRVO_PROGRAM_DIR})
  list(APPEND mirvo_links TodayMirvo:todaymirvo)
  list(APPEND mirvo_man_pages todaymirvo.1)

  install(FILES ${MIRVO_DESKTOP_SOURCE}/${MIRVO_APP_ID}.desktop DESTINATION share/applications)
  set(mirvo_metainfo ${CMAKE_BINARY_DIR}/${MIRVO_APP_ID}.metainfo.xml)
  configure_file(${MIRVO_DESKTOP_SOURCE}/${MIRVO_APP_ID}.metainfo.xml.in ${mirvo_metainfo} @ONLY)
  install(FILES ${mirvo_metainfo} DESTINATION share/metainfo)

  # The icon as the about box renders it (mirvo_icon, views/CMakeLists.txt), at the sizes it renders.
  if(TARGET mirvo_icon)
    foreach(size 16 24 32 48 64 128 256)
      install(FILES ${CMAKE_BINARY_DIR}/views/icon/todaymirvo-${size}.png
              DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME ${MIRVO_APP_ID}.png)
    endforeach()
    install(FILES ${PROJECT_SOURCE_DIR}/resources/icon/todaymirvo.svg
            DESTINATION share/icons/hicolor/scalable/apps RENAME ${MIRVO_APP_ID}.svg)
  endif()
  # One colour, for panels: the desktop's theme recolours it.
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icon/todaymirvo-symbolic.svg
          DESTINATION share/icons/hicolor/symbolic/apps RENAME ${MIRVO_APP_ID}-symbolic.svg)
endif()

foreach(page ${mirvo_man_pages})
  install(FILES ${PROJECT_SOURCE_DIR}/docs/man/${page} DESTINATION share/man/man1)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/man/ja/${page} DESTINATION share/man/ja/man1)
endforeach()

# <prefix>/bin: relative links, so that the installed tree can be moved.
foreach(link ${mirvo_links})
  string(REPLACE ":" ";" parts "${link}")
  list(GET parts 0 program)
  list(GET parts -1 name)
  install(CODE "
    set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
    file(MAKE_DIRECTORY \"\${bin}\")
    file(REMOVE \"\${bin}/${name}\")
    file(CREATE_LINK \"../${MIRVO_PROGRAM_DIR}/${program}\" \"\${bin}/${name}\" SYMBOLIC)
    message(STATUS \"Installing: \${bin}/${name} -> ../${MIRVO_PROGRAM_DIR}/${program}\")")
endforeach()
