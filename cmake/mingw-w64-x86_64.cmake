# Cross-building the Qt-free part of TodayMirvo for 64-bit Windows with
# Debian's MinGW-w64 (packages g++-mingw-w64-x86-64-posix, libz-mingw-w64-dev).
# Used by the preset `windows`; the programs are linked statically, so that
# the .exe files need nothing but the DLLs that Windows itself provides.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MIRVO_MINGW_TRIPLET x86_64-w64-mingw32)
# The POSIX thread model: std::thread and std::mutex work, and winpthread is
# linked statically like the rest of the run-time.
set(CMAKE_C_COMPILER ${MIRVO_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MIRVO_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MIRVO_MINGW_TRIPLET}-windres)

# Headers and libraries of the target only from the MinGW tree; the build
# tools themselves come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${MIRVO_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config finds the target's libraries only, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${MIRVO_MINGW_TRIPLET}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# zlib from Debian's libz-mingw-w64-dev: its static archive libz.a, not the
# import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

# The C and C++ run-times and winpthread linked in; what is left are the
# system's KERNEL32.dll and msvcrt.dll.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Tests run under Wine (Debian's wine64); see scripts/test-windows.sh for
# the environment they get.
find_program(MIRVO_WINE64 NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT MIRVO_WINE64)
  find_program(MIRVO_WINE64 NAMES wine64 wine)
endif()
if(MIRVO_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MIRVO_WINE64})
endif()

# MinGW's GCC 12 inlines std::string concatenation into memcpy calls that it
# then misjudges (GCC bugs 105329, 105651): false -Wrestrict and -Wstringop-*
# warnings in libstdc++'s own headers. An option set explicitly stays off
# whatever -Wall comes later.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict -Wno-stringop-overread -Wno-stringop-overflow")
