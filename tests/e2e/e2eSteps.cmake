# Steps shared by RunE2E.cmake and RunExamples.cmake. Every failure ends the script with
# FATAL_ERROR and says what went wrong.

# kiv_e2e_build(grammar_or_project output_var [-o dir -x dir]): runs `kiv build`, which must exit
# with 0, and appends what it printed to output_var.
function(kiv_e2e_build input output_var)
  execute_process(
    COMMAND ${KIV} build ${input} ${ARGN}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "kiv build ${input} exited with ${result}:\n${output}")
  endif()
  set(${output_var} "${${output_var}}${output}" PARENT_SCOPE)
endfunction()

# kiv_e2e_compile(source bin_dir unit_dir unit_paths...): compiles a Pascal program with fpc, range
# and overflow checks and the heap tracer on, into bin_dir, in the mode FPC_MODE (delphi when unset). A compiler warning fails like an error:
# generated units are expected to compile cleanly.
function(kiv_e2e_compile source bin_dir unit_dir)
  set(search)
  set(mode delphi)
  if(FPC_MODE)
    set(mode ${FPC_MODE})
  endif()
  foreach(path ${ARGN})
    list(APPEND search -Fu${path})
  endforeach()
  execute_process(
    COMMAND ${FPC} -M${mode} -Cr -Co -gh -gl -vw ${search} -FU${unit_dir} -FE${bin_dir} ${source}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "fpc failed for ${source}:\n${output}")
  endif()
  if(output MATCHES "[^\n]*\\([0-9]+,[0-9]+\\) Warning:[^\n]*")
    message(FATAL_ERROR "fpc warns for ${source}: ${CMAKE_MATCH_0}\n${output}")
  endif()
endfunction()

# kiv_e2e_run(program heap_log output_var args...): runs a program compiled by kiv_e2e_compile.
# It must exit with 0 and leave no heap block unfreed; its standard output goes to output_var,
# its error output into the failure message.
function(kiv_e2e_run program heap_log output_var)
  file(REMOVE ${heap_log})
  set(ENV{HEAPTRC} "log=${heap_log}")
  execute_process(
    COMMAND ${program} ${ARGN}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${program} ${ARGN} exited with ${result}:\n${output}${errors}")
  endif()
  if(NOT EXISTS ${heap_log})
    message(FATAL_ERROR "${program} wrote no heap trace")
  endif()
  file(READ ${heap_log} heap_report)
  if(NOT heap_report MATCHES "(^|\n)0 unfreed memory blocks")
    message(FATAL_ERROR "${program} leaks memory:\n${heap_report}")
  endif()
  set(${output_var} "${output}" PARENT_SCOPE)
endfunction()

# kiv_e2e_compare(what expected_file actual_text): the text must equal the file's content.
function(kiv_e2e_compare what expected_file actual)
  file(READ ${expected_file} expected)
  if(NOT actual STREQUAL expected)
    message(FATAL_ERROR "${what} differs from ${expected_file}\n"
      "--- expected ---\n${expected}--- actual ---\n${actual}--- end ---")
  endif()
endfunction()
