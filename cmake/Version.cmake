# The program's version information, defined here once. The build writes it
# into the version block that the program carries (views/CMakeLists.txt), from
# which the title of every window and the about box take their texts.

# Fixed part (VS_FIXEDFILEINFO). Version numbers are four parts, each 0-65535.
set(MIRVO_FILE_VERSION "1.3.3.142")
# The product is released at the version of its program file, so that
# Windows shows one version for both.
set(MIRVO_PRODUCT_VERSION "${MIRVO_FILE_VERSION}")
set(MIRVO_FILE_FLAGS_MASK 0x3F)   # every flag below is meaningful
set(MIRVO_FILE_FLAGS 0x0)         # a release: no debug, pre-release, patched, private or special build
set(MIRVO_FILE_OS 0x0)            # VOS_UNKNOWN: the program runs on Linux, none of Windows' targets
set(MIRVO_FILE_TYPE 0x1)          # VFT_APP: an application
set(MIRVO_FILE_SUBTYPE 0x0)

# The program file's own name, as the system names it.
if(WIN32)
  set(MIRVO_ORIGINAL_FILENAME "TodayMirvo.exe")
else()
  set(MIRVO_ORIGINAL_FILENAME "TodayMirvo")
endif()

# The one string block: Japanese (0x0411) in code page 932, key 041103A4.
set(MIRVO_VERSION_LANGUAGE 0x0411)
set(MIRVO_VERSION_CODEPAGE 932)

# The string block, in the order it is written. Every text must be one that
# code page 932 holds.
set(MIRVO_VERSION_STRINGS
  CompanyName      "The TodayMirvo developers"
  FileDescription  "今日のミルボ"
  FileVersion      "${MIRVO_FILE_VERSION}"
  InternalName     "TodayMirvo"
  LegalCopyright   "Copyright (C) 2026 The TodayMirvo developers"
  LegalTrademarks  ""
  OriginalFilename "${MIRVO_ORIGINAL_FILENAME}"
  ProductName      "Today Mirvo"
  ProductVersion   "${MIRVO_PRODUCT_VERSION}"
  Comments         "動作には暦ライブラリ Kosmera.dat が必要です."
)

# mirvo_write_version_source(<file>): writes the values above as the text
# that tools/mkversion (and tools/mkkosmera --version-info) read; the format
# is described in version/versionsource.h.
function(mirvo_write_version_source file)
  set(tab "\t")
  string(CONCAT text
    "# Written by cmake/Version.cmake; do not edit.\n"
    "file-version${tab}${MIRVO_FILE_VERSION}\n"
    "product-version${tab}${MIRVO_PRODUCT_VERSION}\n"
    "file-flags-mask${tab}${MIRVO_FILE_FLAGS_MASK}\n"
    "file-flags${tab}${MIRVO_FILE_FLAGS}\n"
    "file-os${tab}${MIRVO_FILE_OS}\n"
    "file-type${tab}${MIRVO_FILE_TYPE}\n"
    "file-subtype${tab}${MIRVO_FILE_SUBTYPE}\n"
    "translation${tab}${MIRVO_VERSION_LANGUAGE}${tab}${MIRVO_VERSION_CODEPAGE}\n")
  set(strings "${MIRVO_VERSION_STRINGS}")
  list(LENGTH strings count)
  math(EXPR last "${count} - 1")
  foreach(i RANGE 0 ${last} 2)
    math(EXPR j "${i} + 1")
    list(GET strings ${i} key)
    list(GET strings ${j} value)
    string(APPEND text "string${tab}${key}${tab}${value}\n")
  endforeach()
  # Rewritten only when it changes, so that the block is remade only then.
  file(CONFIGURE OUTPUT "${file}" CONTENT "${text}" @ONLY)
endfunction()
