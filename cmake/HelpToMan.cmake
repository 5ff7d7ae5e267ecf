# Run with cmake -P: writes PAGE (a manual page, gzipped beside it as
# PAGE.gz) from PROGRAM's --help and --version through help2man, with the
# sections in INCLUDE added. The NAME line is the first line of --help
# ("name — what it does"), so the program's description is written once.
# EPOCH dates the page: the release's day, not the build's. VERSION is
# project(VERSION ...)'s, which --version must print.
foreach(var HELP2MAN PROGRAM INCLUDE PAGE EPOCH VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "HelpToMan.cmake: ${var} is not set")
  endif()
endforeach()

# The window program answers --help without a display; the offscreen
# platform is for anything that would open one all the same.
set(ENV{QT_QPA_PLATFORM} offscreen)
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
set(ENV{LC_ALL} C.UTF-8)

execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help failed (${rc})")
endif()
string(REGEX MATCH "^[^\n]*" first "${help}")
string(REGEX REPLACE "^[^ ]+ — " "" name "${first}")
string(REGEX REPLACE "\\.$" "" name "${name}")

execute_process(COMMAND ${PROGRAM} --version OUTPUT_VARIABLE version RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT version MATCHES "^[^ ]+ \\([^)]+\\) ${VERSION}\n$")
  message(FATAL_ERROR "${PROGRAM} --version printed \"${version}\", not \"name (package) ${VERSION}\"")
endif()

execute_process(
  COMMAND ${HELP2MAN} --no-info --locale=C.UTF-8 --section=1 "--manual=User Commands"
          "--name=${name}" "--include=${INCLUDE}" "--output=${PAGE}" ${PROGRAM}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "help2man failed on ${PROGRAM} (${rc})")
endif()
execute_process(COMMAND gzip -9 -n -f -k ${PAGE} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip failed on ${PAGE} (${rc})")
endif()
