# The Qt of the Windows window program: the static MinGW-w64 Qt and chmlib
# that scripts/build-qt-windows.sh builds from Debian's sources into a cache
# outside the tree (MIRVO_QT_WINDOWS_PREFIX). With MIRVO_WINDOWS_GUI=AUTO, as
# the preset windows sets it, the window program and its widget tests are
# built when that cache is complete, and only the Qt-free part otherwise.
# Included by the top CMakeLists.txt in a Windows cross build, before the
# option MIRVO_BUILD_GUI.
if(NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
  set(mirvo_cache_home "$ENV{XDG_CACHE_HOME}")
else()
  set(mirvo_cache_home "$ENV{HOME}/.cache")
endif()
set(MIRVO_QT_WINDOWS_PREFIX "${mirvo_cache_home}/todaymirvo/qt-mingw-6.4.2" CACHE PATH
  "The Windows Qt and chmlib of scripts/build-qt-windows.sh")
set(MIRVO_WINDOWS_GUI AUTO CACHE STRING
  "Build the Windows window program: ON, OFF, or AUTO (when the Windows Qt is in MIRVO_QT_WINDOWS_PREFIX)")
set_property(CACHE MIRVO_WINDOWS_GUI PROPERTY STRINGS AUTO ON OFF)

if(MIRVO_WINDOWS_GUI STREQUAL "AUTO")
  if(EXISTS "${MIRVO_QT_WINDOWS_PREFIX}/todaymirvo-qt.stamp" AND EXISTS "${MIRVO_QT_WINDOWS_PREFIX}/todaymirvo-chmlib.stamp")
    set(MIRVO_BUILD_GUI ON CACHE BOOL "Build the Qt Widgets program" FORCE)
  else()
    set(MIRVO_BUILD_GUI OFF CACHE BOOL "Build the Qt Widgets program" FORCE)
    message(STATUS "No Windows Qt in ${MIRVO_QT_WINDOWS_PREFIX}: the window program is left out "
                   "(scripts/build-qt-windows.sh builds it)")
  endif()
else()
  set(MIRVO_BUILD_GUI ${MIRVO_WINDOWS_GUI} CACHE BOOL "Build the Qt Widgets program" FORCE)
endif()

if(MIRVO_BUILD_GUI)
  # The target's Qt is searched in the cache only; moc, uic and rcc are the
  # host's (Debian's qt6-base-dev-tools of the same version).
  list(PREPEND CMAKE_FIND_ROOT_PATH "${MIRVO_QT_WINDOWS_PREFIX}")
  list(PREPEND CMAKE_PREFIX_PATH "${MIRVO_QT_WINDOWS_PREFIX}")
  set(QT_HOST_PATH /usr CACHE PATH "The host's Qt, whose tools the Windows build runs")
  set(Qt6HostInfo_DIR /usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo CACHE PATH "")
  # Qt's Japanese translation, shipped beside the program.
  find_file(MIRVO_QTBASE_JA qtbase_ja.qm PATHS /usr/share/qt6/translations NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
endif()
