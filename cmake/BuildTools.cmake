# The tools that run during the build (tools/) write the version block of
# version/ and the data file. A cross build (preset `windows`) builds them for
# the target too, but runs the ones of a native build of the same sources,
# which exports them as mirvo_host_mkkosmera and mirvo_host_mkversion.
if(CMAKE_CROSSCOMPILING)
  set(MIRVO_HOST_BUILD_DIR ${PROJECT_SOURCE_DIR}/build/default CACHE PATH
      "Native build whose mkkosmera and mkversion run during a cross build")
  set(host_tools ${MIRVO_HOST_BUILD_DIR}/MirvoHostTools.cmake)
  if(NOT EXISTS ${host_tools})
    message(FATAL_ERROR "A cross build runs the build tools of a native build, and ${host_tools} is missing: "
                        "configure and build the preset default first (scripts/test-windows.sh does).")
  endif()
  include(${host_tools})
  set_target_properties(mirvo_host_mkkosmera mirvo_host_mkversion PROPERTIES IMPORTED_GLOBAL TRUE)
  set(MIRVO_MKKOSMERA mirvo_host_mkkosmera)
  set(MIRVO_MKVERSION mirvo_host_mkversion)
else()
  set(MIRVO_MKKOSMERA mkkosmera)
  set(MIRVO_MKVERSION mkversion)
endif()

