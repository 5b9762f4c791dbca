# Writes the header of the string table's numbers: one constant per named
# entry of the table (lines "number<TAB>name<TAB>text"). Run with cmake -P:
#   -DINPUT=resources/strings.txt -DOUTPUT=<header> [-DSTAMP=<file>]
# The header is rewritten only when its text changes, so that a new or edited
# text without a name recompiles nothing. A name or a number that is there
# twice, a number below the one before it, or a line that is neither a
# comment nor an entry, stops the build.
cmake_minimum_required(VERSION 3.25)
file(READ "${INPUT}" table)
# A CMake list is split at ';' unless it is escaped or inside brackets: the
# texts may hold all three, and only the number and the name are needed.
string(REGEX REPLACE "[][;\\]" "_" table "${table}")
string(REPLACE "\r" "" table "${table}")
string(REPLACE "\n" ";" lines "${table}")

set(body "")
set(numbers "")
set(names "")
set(line_number 0)
foreach(line IN LISTS lines)
  math(EXPR line_number "${line_number} + 1")
  if(line STREQUAL "" OR line MATCHES "^#")
    continue()
  endif()
  if(NOT line MATCHES "^([0-9]+)\t([A-Za-z_][A-Za-z0-9_]*)?\t")
    message(FATAL_ERROR "${INPUT}:${line_number}: not \"number<TAB>name<TAB>text\"")
  endif()
  set(number "${CMAKE_MATCH_1}")
  set(name "${CMAKE_MATCH_2}")
  if(number IN_LIST numbers)
    message(FATAL_ERROR "${INPUT}:${line_number}: the number ${number} is there twice")
  endif()
  if(DEFINED previous AND number LESS previous)
    message(FATAL_ERROR "${INPUT}:${line_number}: the number ${number} comes after ${previous}; the numbers ascend")
  endif()
  set(previous "${number}")
  list(APPEND numbers "${number}")
  if(name STREQUAL "")
    continue()
  endif()
  if(name IN_LIST names)
    message(FATAL_ERROR "${INPUT}:${line_number}: the name ${name} is there twice")
  endif()
  list(APPEND names "${name}")
  string(APPEND body "constexpr int ${name} = ${number};\n")
endforeach()

set(header "// The numbers of the string table's named entries, written by the build from
// resources/strings.txt (cmake/StringNumbers.cmake): edit the table, not this file.
#pragma once

namespace mirvo {

${body}
} // namespace mirvo
")
set(old "")
if(EXISTS "${OUTPUT}")
  file(READ "${OUTPUT}" old)
endif()
if(NOT old STREQUAL header)
  file(WRITE "${OUTPUT}" "${header}")
endif()
if(STAMP)
  file(TOUCH "${STAMP}")
endif()
