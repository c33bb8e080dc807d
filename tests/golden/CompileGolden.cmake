# Compiles the expected units of one golden feature with fpc, then builds and runs its driver.
# Inputs: FPC, FEATURE_DIR, RUNTIME_DIR, WORK_DIR.
# Units of a grammar whose expected diagnostics hold an error are skipped: only a grammar that
# built without errors promises a unit that compiles. Units are compiled into WORK_DIR, never
# into the source tree. The driver (drive.pas) must exit with 0 and free all its memory.

set(src_dir ${WORK_DIR}/src)
set(unit_dir ${WORK_DIR}/units)
set(bin_dir ${WORK_DIR}/bin)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${src_dir} ${unit_dir} ${bin_dir})

set(units)
file(GLOB expected_dirs LIST_DIRECTORIES true ${FEATURE_DIR}/*.expected)
foreach(dir ${expected_dirs})
  set(failed FALSE)
  if(EXISTS ${dir}/stderr)
    file(READ ${dir}/stderr diagnostics)
    if(diagnostics MATCHES "(^|\n)error: ")
      set(failed TRUE)
    endif()
  endif()
  if(NOT failed)
    file(GLOB pas_files ${dir}/*.pas)
    foreach(pas ${pas_files})
      file(COPY ${pas} DESTINATION ${src_dir})
      get_filename_component(unit ${pas} NAME)
      list(APPEND units ${unit})
    endforeach()
  endif()
endforeach()

# The optimized form is compiled as its users compile it, with -O3, whose data-flow analysis
# also reports results that may be left unset.
get_filename_component(feature ${FEATURE_DIR} NAME)
set(optimize)
if(feature STREQUAL "optimized")
  set(optimize -O3)
endif()

foreach(unit ${units})
  execute_process(
    COMMAND ${FPC} -Mdelphi ${optimize} -Fu${RUNTIME_DIR} -Fu${src_dir} -FU${unit_dir} ${src_dir}/${unit}
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "fpc failed for ${unit}:\n${output}")
  endif()
  # The optimized form's text is KIV's own choice: it draws no compiler warning.
  if(feature STREQUAL "optimized" AND output MATCHES "${unit}\\([0-9]+,[0-9]+\\) Warning:[^\n]*")
    message(FATAL_ERROR "compiler warning in ${unit}: ${CMAKE_MATCH_0}")
  endif()
  message("compiled ${unit}")
endforeach()

if(EXISTS ${FEATURE_DIR}/drive.pas)
  set(heap_log ${WORK_DIR}/heaptrc.log)
  execute_process(
    COMMAND ${FPC} -Mdelphi -Cr -Co -gh -gl -Fu${RUNTIME_DIR} -Fu${src_dir} -FU${unit_dir} -FE${bin_dir}
      ${FEATURE_DIR}/drive.pas
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "fpc failed for drive.pas:\n${output}")
  endif()
  set(ENV{HEAPTRC} "log=${heap_log}")
  execute_process(
    COMMAND ${bin_dir}/drive
    WORKING_DIRECTORY ${WORK_DIR}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
  message("${output}")
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "drive failed (exit ${result})")
  endif()
  file(READ ${heap_log} heap_report)
  if(NOT heap_report MATCHES "(^|\n)0 unfreed memory blocks")
    message(FATAL_ERROR "drive leaks memory:\n${heap_report}")
  endif()
endif()
