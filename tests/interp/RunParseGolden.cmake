# Runs `kiv` with the arguments of CASE_DIR/command (one line; paths from the source root) in the
# source root and compares what it prints, and its exit status, with CASE_DIR/expected. With the
# environment variable KIV_UPDATE_GOLDEN=1 the expectation is written instead; review it before
# checking it in.
file(READ ${CASE_DIR}/command command)
string(STRIP "${command}" command)
separate_arguments(arguments UNIX_COMMAND "${command}")
execute_process(COMMAND ${KIV} ${arguments}
  WORKING_DIRECTORY ${SOURCE_ROOT}
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output
  RESULT_VARIABLE status)
set(actual "${output}exit status ${status}\n")
if("$ENV{KIV_UPDATE_GOLDEN}" STREQUAL "1")
  file(WRITE ${CASE_DIR}/expected "${actual}")
  message(STATUS "wrote ${CASE_DIR}/expected")
  return()
endif()
if(NOT EXISTS ${CASE_DIR}/expected)
  message(FATAL_ERROR "MISSING ${CASE_DIR}/expected: run with KIV_UPDATE_GOLDEN=1 and review it")
endif()
file(READ ${CASE_DIR}/expected expected)
if(NOT actual STREQUAL expected)
  message(FATAL_ERROR "kiv ${command}\nprinted:\n${actual}\nexpected (${CASE_DIR}/expected):\n${expected}")
endif()
