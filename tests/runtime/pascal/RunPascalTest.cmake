# Compiles one Pascal test program with fpc and runs it.
# Inputs: FPC, SOURCE, RUNTIME_DIR, HELPER_DIR, WORK_DIR.
# Fails when compilation fails, when a runtime unit draws a compiler warning,
# when the program exits non-zero, or when the heap tracer reports unfreed
# blocks.

get_filename_component(program ${SOURCE} NAME_WE)
set(unit_dir ${WORK_DIR}/units)
set(bin_dir ${WORK_DIR}/bin)
set(heap_log ${WORK_DIR}/heaptrc.log)
file(REMOVE_RECURSE ${unit_dir} ${bin_dir})
file(MAKE_DIRECTORY ${unit_dir} ${bin_dir})
file(REMOVE ${heap_log})

execute_process(
  COMMAND ${FPC} -Mdelphi -Cr -Co -gh -gl -vw
    -Fu${RUNTIME_DIR} -Fu${HELPER_DIR} -FU${unit_dir} -FE${bin_dir} ${SOURCE}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE compile_result
  OUTPUT_VARIABLE compile_output
  ERROR_VARIABLE compile_output)
if(NOT compile_result EQUAL 0)
  message(FATAL_ERROR "fpc failed for ${SOURCE}:\n${compile_output}")
endif()
if(compile_output MATCHES "kiv[A-Za-z]*\\.pas\\([0-9]+,[0-9]+\\) Warning:[^\n]*")
  message(FATAL_ERROR "compiler warning in a runtime unit: ${CMAKE_MATCH_0}\n${compile_output}")
endif()

# The heap tracer writes its summary to a log file: without a terminal it
# prints nothing on the standard streams.
set(ENV{HEAPTRC} "log=${heap_log}")
execute_process(
  COMMAND ${bin_dir}/${program}
  WORKING_DIRECTORY ${WORK_DIR}
  RESULT_VARIABLE run_result
  OUTPUT_VARIABLE run_output
  ERROR_VARIABLE run_output)
message("${run_output}")
if(NOT run_result EQUAL 0)
  message(FATAL_ERROR "${program} failed (exit ${run_result})")
endif()
if(NOT EXISTS ${heap_log})
  message(FATAL_ERROR "${program} wrote no heap trace")
endif()
file(READ ${heap_log} heap_report)
if(NOT heap_report MATCHES "(^|\n)0 unfreed memory blocks")
  message(FATAL_ERROR "${program} leaks memory:\n${heap_report}")
endif()
