# The layer check must stop the build at an upward include and let a
# downward one pass: a two-layer tree is checked once each way.
cmake_minimum_required(VERSION 3.25)
set(tree "${WORK}/layer-check")
file(REMOVE_RECURSE "${tree}")
file(WRITE "${tree}/high/B.h" "#include \"low/A.h\"\n")
file(WRITE "${tree}/low/A.h" "#pragma once\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} "-DLAYERS=low:;high:low" -DSTAMP=${tree}/ok
                        -P ${CHECK} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "a downward include was refused: ${err}")
endif()

file(WRITE "${tree}/low/A.cc" "#include \"low/A.h\"\n#include \"high/B.h\"\n")
execute_process(COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${tree} "-DLAYERS=low:;high:low" -DSTAMP=${tree}/bad
                        -P ${CHECK} RESULT_VARIABLE rc ERROR_VARIABLE err)
if(rc EQUAL 0 OR EXISTS "${tree}/bad")
  message(FATAL_ERROR "an upward include passed the layer check")
endif()
string(REGEX REPLACE "[ \n]+" " " err "${err}")
if(NOT err MATCHES "low/A.cc: includes a header of high/")
  message(FATAL_ERROR "the layer check did not name the file: ${err}")
endif()
file(REMOVE_RECURSE "${tree}")
