# Runs one end-to-end feature.
# Inputs: KIV, FPC, FEATURE_DIR, GRAMMARS (comma-separated, in build order; relative to
# FEATURE_DIR unless absolute), COMMON_DIR, RUNTIME_DIR, WORK_DIR.
#  1. `kiv build` every grammar into WORK_DIR/gen: each must exit with 0, and all they print
#     together must equal FEATURE_DIR/build.expected, so the expected warnings are spelled out
#     there and no other diagnostic can slip in.
#  2. Compile FEATURE_DIR/drive.pas with the generated units.
#  3. Run the driver over FEATURE_DIR/cases.txt: every case must pass and no memory may leak.
#  4. The same with `kiv build --optimize` in WORK_DIR/optimized: the build prints the same and
#     the driver the same output.
#  5. The same in WORK_DIR/mixed with every other grammar optimized (the first, the third, ...):
#     a lexer of one form feeds a parser of the other through the standard interfaces.
include(${CMAKE_CURRENT_LIST_DIR}/e2eSteps.cmake)

# kiv_e2e_feature(dir run_output_var [kiv options]): the three steps into dir/gen, dir/units and
# dir/bin; the driver's output goes to run_output_var. The option "mixed" builds every other
# grammar with --optimize.
function(kiv_e2e_feature dir run_output_var)
  file(REMOVE_RECURSE ${dir})
  file(MAKE_DIRECTORY ${dir}/gen ${dir}/units ${dir}/bin)
  string(REPLACE "," ";" grammars "${GRAMMARS}")
  set(build_output "")
  set(options ${ARGN})
  set(alternate OFF)
  if(options STREQUAL "mixed")
    set(alternate ON)
    set(options "")
    set(optimize_next ON)
  endif()
  foreach(grammar ${grammars})
    if(NOT IS_ABSOLUTE ${grammar})
      set(grammar ${FEATURE_DIR}/${grammar})
    endif()
    if(alternate)
      set(options "")
      if(optimize_next)
        set(options --optimize)
        set(optimize_next OFF)
      else()
        set(optimize_next ON)
      endif()
    endif()
    kiv_e2e_build(${grammar} build_output -o ${dir}/gen -x ${dir}/gen ${options})
  endforeach()
  kiv_e2e_compare("kiv build ${ARGN} output" ${FEATURE_DIR}/build.expected "${build_output}")
  kiv_e2e_compile(${FEATURE_DIR}/drive.pas ${dir}/bin ${dir}/units ${RUNTIME_DIR} ${dir}/gen ${COMMON_DIR})
  kiv_e2e_run(${dir}/bin/drive ${dir}/heaptrc.log output ${FEATURE_DIR}/cases.txt)
  set(${run_output_var} "${output}" PARENT_SCOPE)
endfunction()

set(gen_dir ${WORK_DIR}/gen)
set(unit_dir ${WORK_DIR}/units)
set(bin_dir ${WORK_DIR}/bin)
file(REMOVE_RECURSE ${WORK_DIR})
kiv_e2e_feature(${WORK_DIR} run_output)
message("${run_output}")

# The optimized form must behave exactly as the default form: the same diagnostics (above) and
# the same output of every case.
kiv_e2e_feature(${WORK_DIR}/optimized optimized_output --optimize)
if(NOT optimized_output STREQUAL run_output)
  message(FATAL_ERROR "the optimized form's run differs from the default form's\n"
    "--- default ---\n${run_output}--- optimized ---\n${optimized_output}--- end ---")
endif()
message("optimized form: the same output")

kiv_e2e_feature(${WORK_DIR}/mixed mixed_output mixed)
if(NOT mixed_output STREQUAL run_output)
  message(FATAL_ERROR "the run with every other grammar optimized differs from the default form's\n"
    "--- default ---\n${run_output}--- mixed ---\n${mixed_output}--- end ---")
endif()
message("mixed forms: the same output")
