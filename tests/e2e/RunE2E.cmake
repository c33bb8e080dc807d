# Runs one end-to-end feature.
# Inputs: KIV, FPC, FEATURE_DIR, GRAMMARS (comma-separated, in build order; relative to
# FEATURE_DIR unless absolute), COMMON_DIR, RUNTIME_DIR, WORK_DIR.
#  1. `kiv build` every grammar into WORK_DIR/gen: each must exit with 0, and all they print
#     together must equal FEATURE_DIR/build.expected, so the expected warnings are spelled out
#     there and no other diagnostic can slip in.
#  2. Compile FEATURE_DIR/drive.pas with the generated units.
#  3. Run the driver over FEATURE_DIR/cases.txt: every case must pass and no memory may leak.
include(${CMAKE_CURRENT_LIST_DIR}/e2eSteps.cmake)

set(gen_dir ${WORK_DIR}/gen)
set(unit_dir ${WORK_DIR}/units)
set(bin_dir ${WORK_DIR}/bin)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${gen_dir} ${unit_dir} ${bin_dir})

string(REPLACE "," ";" grammars "${GRAMMARS}")
set(build_output "")
foreach(grammar ${grammars})
  if(NOT IS_ABSOLUTE ${grammar})
    set(grammar ${FEATURE_DIR}/${grammar})
  endif()
  kiv_e2e_build(${grammar} build_output -o ${gen_dir} -x ${gen_dir})
endforeach()
kiv_e2e_compare("kiv build output" ${FEATURE_DIR}/build.expected "${build_output}")

kiv_e2e_compile(${FEATURE_DIR}/drive.pas ${bin_dir} ${unit_dir} ${RUNTIME_DIR} ${gen_dir} ${COMMON_DIR})
kiv_e2e_run(${bin_dir}/drive ${WORK_DIR}/heaptrc.log run_output ${FEATURE_DIR}/cases.txt)
message("${run_output}")
