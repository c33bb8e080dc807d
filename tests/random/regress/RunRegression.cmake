# Runs one regression case of the random grammar test (see README.md).
# Inputs: KIV, FPC, CASE_DIR, GRAMMARS (comma-separated, in build order), COMMON_DIR, RUNTIME_DIR,
# WORK_DIR.
#  1. `kiv build` every grammar into WORK_DIR/gen. Every line of CASE_DIR/build.expected must be a
#     line of what kiv printed, so the case says which diagnostics and which counts it expects.
#     When CASE_DIR/lookahead.expected exists, every grammar's lookahead is dumped as well
#     (--dump=lookahead) and its lines must be lines of the dumps in their order, so the case can
#     say which sets it expects.
#  2. When CASE_DIR/drive.pas exists: compile it with the generated units (range and overflow
#     checks, heap tracer) and run it; it must exit with 0 within the time limit and free all its
#     memory.
set(gen_dir ${WORK_DIR}/gen)
set(unit_dir ${WORK_DIR}/units)
set(bin_dir ${WORK_DIR}/bin)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${gen_dir} ${unit_dir} ${bin_dir})

string(REPLACE "," ";" grammars "${GRAMMARS}")
set(output "")
foreach(grammar ${grammars})
  execute_process(
    COMMAND ${KIV} build ${CASE_DIR}/${grammar} -o ${gen_dir} -x ${gen_dir}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE out
    ERROR_VARIABLE out
    TIMEOUT 60)
  if(NOT result EQUAL 0 AND NOT result EQUAL 1)
    message(FATAL_ERROR "kiv build ${grammar} ended with ${result}:\n${out}")
  endif()
  string(APPEND output "${out}")
endforeach()

file(STRINGS ${CASE_DIR}/build.expected expected_lines)
string(REPLACE "\r" "" output "${output}")
foreach(line ${expected_lines})
  string(FIND "\n${output}\n" "\n${line}\n" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "kiv did not print the line\n  ${line}\nIt printed:\n${output}")
  endif()
endforeach()

if(EXISTS ${CASE_DIR}/lookahead.expected)
  set(dumped "")
  foreach(grammar ${grammars})
    execute_process(
      COMMAND ${KIV} build ${CASE_DIR}/${grammar} -o ${WORK_DIR}/dump -x ${gen_dir} --dump=lookahead
      OUTPUT_VARIABLE out
      ERROR_QUIET
      TIMEOUT 60)
    string(APPEND dumped "${out}")
  endforeach()
  string(REPLACE "\r" "" dumped "${dumped}")
  file(STRINGS ${CASE_DIR}/lookahead.expected expected_lines)
  set(rest "\n${dumped}\n")
  foreach(line ${expected_lines})
    string(FIND "${rest}" "\n${line}\n" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "kiv did not print the line\n  ${line}\nwhere expected. The dumps were:\n${dumped}")
    endif()
    string(LENGTH "\n${line}" skip)
    math(EXPR at "${at} + ${skip}")
    string(SUBSTRING "${rest}" ${at} -1 rest)
  endforeach()
endif()

if(EXISTS ${CASE_DIR}/drive.pas)
  execute_process(
    COMMAND ${FPC} -Mdelphi -Cr -Co -gh -gl -Fu${RUNTIME_DIR} -Fu${gen_dir} -Fu${COMMON_DIR}
      -FU${unit_dir} -FE${bin_dir} ${CASE_DIR}/drive.pas
    RESULT_VARIABLE result
    OUTPUT_VARIABLE out
    ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "fpc failed for drive.pas:\n${out}")
  endif()
  set(heap_log ${WORK_DIR}/heaptrc.log)
  set(ENV{HEAPTRC} "log=${heap_log}")
  execute_process(
    COMMAND ${bin_dir}/drive
    RESULT_VARIABLE result
    OUTPUT_VARIABLE out
    ERROR_VARIABLE out
    TIMEOUT 30)
  message("${out}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "drive ended with ${result}")
  endif()
  file(READ ${heap_log} heap_report)
  if(NOT heap_report MATCHES "(^|\n)0 unfreed memory blocks")
    message(FATAL_ERROR "drive leaks memory:\n${heap_report}")
  endif()
endif()
