# Script mode: compiles the help pages into the program's help file.
#   cmake -DSOURCE=<resources/help> -DWORK=<scratch folder> -DOUTPUT=<.chm path>
#         -DCHMCMD=<chmcmd> -DRSVG=<rsvg-convert> -DSYSTEM=<linux|windows> -P HelpFile.cmake
# What a page says of one system only stands between "<!-- linux -->" and
# "<!-- /linux -->" (or "windows"), in the pages, the contents and the index;
# the help of the other system leaves it out.
# The pages are compiled from a scratch copy, so that the pictures drawn from
# their SVG sources and chmcmd's own output never land in the source tree.
# A warning from chmcmd (a page named in the project but missing, a link to a
# page that is not there) fails the build.
foreach(var SOURCE WORK OUTPUT CHMCMD RSVG SYSTEM)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "HelpFile.cmake needs -D${var}=...")
  endif()
endforeach()

file(REMOVE_RECURSE ${WORK})
file(COPY ${SOURCE}/ DESTINATION ${WORK} PATTERN "*.py" EXCLUDE)

if(SYSTEM STREQUAL "linux")
  set(other windows)
elseif(SYSTEM STREQUAL "windows")
  set(other linux)
else()
  message(FATAL_ERROR "HelpFile.cmake: SYSTEM is linux or windows, not '${SYSTEM}'")
endif()
file(GLOB texts ${WORK}/*.htm ${WORK}/*.hhc ${WORK}/*.hhk)
foreach(text ${texts})
  file(READ ${text} content)
  # The other system's parts out, this system's markers away.
  set(kept "")
  string(FIND "${content}" "<!-- ${other} -->" start)
  while(NOT start EQUAL -1)
    string(SUBSTRING "${content}" 0 ${start} before)
    string(APPEND kept "${before}")
    string(SUBSTRING "${content}" ${start} -1 content)
    string(FIND "${content}" "<!-- /${other} -->" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "${text}: <!-- ${other} --> without <!-- /${other} -->")
    endif()
    string(LENGTH "<!-- /${other} -->" marker)
    math(EXPR end "${end} + ${marker}")
    string(SUBSTRING "${content}" ${end} -1 content)
    string(FIND "${content}" "<!-- ${other} -->" start)
  endwhile()
  string(APPEND kept "${content}")
  string(REPLACE "<!-- ${SYSTEM} -->" "" kept "${kept}")
  string(REPLACE "<!-- /${SYSTEM} -->" "" kept "${kept}")
  file(WRITE ${text} "${kept}")
endforeach()

file(GLOB pictures ${WORK}/images/*.svg)
foreach(svg ${pictures})
  string(REGEX REPLACE "\\.svg$" ".png" png ${svg})
  execute_process(COMMAND ${RSVG} ${svg} -o ${png} RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "rsvg-convert failed on ${svg}")
  endif()
endforeach()

file(GLOB projects ${WORK}/*.hhp)
list(LENGTH projects count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one help project (.hhp) in ${SOURCE}")
endif()
execute_process(COMMAND ${CHMCMD} --verbosity 1 ${projects}
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0 OR out MATCHES "(Warning|Error)" OR err MATCHES "(Warning|Error)")
  message(FATAL_ERROR "chmcmd failed (${rc}):\n${out}\n${err}")
endif()

get_filename_component(name ${OUTPUT} NAME)
if(NOT EXISTS ${WORK}/${name})
  message(FATAL_ERROR "chmcmd wrote no ${name}")
endif()
# Replace the help file in one step, so that a running program never sees half of it.
get_filename_component(dir ${OUTPUT} DIRECTORY)
file(COPY_FILE ${WORK}/${name} ${dir}/${name}.tmp)
file(RENAME ${dir}/${name}.tmp ${OUTPUT})
