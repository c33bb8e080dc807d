# RunDemo.cmake
# Runs kiv-runtime-demo on INPUT and compares its exit code, standard output and standard error
# with EXPECTED_RC, the file EXPECTED_OUT and (when given) the file EXPECTED_ERR.
execute_process(COMMAND "${DEMO}" "${INPUT}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(READ "${EXPECTED_OUT}" expected_out)
if(NOT rc STREQUAL "${EXPECTED_RC}")
  message(FATAL_ERROR "exit code ${rc}, expected ${EXPECTED_RC}\nstderr:\n${err}")
endif()
if(NOT out STREQUAL expected_out)
  message(FATAL_ERROR "standard output differs\n--- got:\n${out}--- expected:\n${expected_out}")
endif()
if(DEFINED EXPECTED_ERR)
  file(READ "${EXPECTED_ERR}" expected_err)
  if(NOT err STREQUAL expected_err)
    message(FATAL_ERROR "standard error differs\n--- got:\n${err}--- expected:\n${expected_err}")
  endif()
elseif(NOT err STREQUAL "")
  message(FATAL_ERROR "unexpected standard error:\n${err}")
endif()
