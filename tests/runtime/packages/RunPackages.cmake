# Builds the runtime's packages from a copy of the runtime folder.
# Inputs: FPC, LAZBUILD, RUNTIME_DIR, WORK_DIR.
#  1. Every unit of the runtime folder is listed in kivruntime.lpk and in fpmake.pp, so a new unit
#     cannot be left out of either package.
#  2. lazbuild compiles kivruntime.lpk without a warning.
#  3. fpmake.pp compiles, and `fpmake build` compiles every unit.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/lazarus ${WORK_DIR}/fpmake ${WORK_DIR}/config)

file(GLOB units RELATIVE ${RUNTIME_DIR} ${RUNTIME_DIR}/*.pas)
file(READ ${RUNTIME_DIR}/kivruntime.lpk lpk)
file(READ ${RUNTIME_DIR}/fpmake.pp fpmake)
list(LENGTH units count)
foreach(unit ${units})
  if(NOT lpk MATCHES "<Filename Value=\"${unit}\"/>")
    message(FATAL_ERROR "kivruntime.lpk does not list ${unit}")
  endif()
  if(NOT fpmake MATCHES "AddUnit\\('${unit}'\\)")
    message(FATAL_ERROR "fpmake.pp does not list ${unit}")
  endif()
endforeach()
if(NOT lpk MATCHES "<Files Count=\"${count}\">")
  message(FATAL_ERROR "kivruntime.lpk counts other files than the ${count} units of the runtime")
endif()

foreach(target lazarus fpmake)
  file(COPY ${RUNTIME_DIR}/ DESTINATION ${WORK_DIR}/${target} FILES_MATCHING PATTERN "*.pas" PATTERN "*.lpk" PATTERN "*.pp")
endforeach()

# lazbuild keeps its configuration in a folder of the test's own.
execute_process(
  COMMAND ${LAZBUILD} --primary-config-path=${WORK_DIR}/config kivruntime.lpk
  WORKING_DIRECTORY ${WORK_DIR}/lazarus
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lazbuild kivruntime.lpk failed:\n${output}")
endif()
if(output MATCHES "[^\n]*\\) Warning:[^\n]*")
  message(FATAL_ERROR "lazbuild warns: ${CMAKE_MATCH_0}\n${output}")
endif()
message("lazbuild compiled kivruntime.lpk (${count} units)")

execute_process(
  COMMAND ${FPC} -v0 fpmake.pp
  WORKING_DIRECTORY ${WORK_DIR}/fpmake
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "fpc fpmake.pp failed:\n${output}")
endif()
execute_process(
  COMMAND ${WORK_DIR}/fpmake/fpmake build
  WORKING_DIRECTORY ${WORK_DIR}/fpmake
  RESULT_VARIABLE result
  OUTPUT_VARIABLE output
  ERROR_VARIABLE output)
if(NOT result EQUAL 0 OR NOT output MATCHES "Compiled package kivruntime")
  message(FATAL_ERROR "fpmake build failed:\n${output}")
endif()
message("fpmake built the kivruntime package")
