# Builds the example projects from a copy in WORK_DIR and runs each program over its sample.
# Inputs: KIV, FPC, EXAMPLES_DIR, RUNTIME_DIR, WORK_DIR.
# For every example: copy the folder (without generated output), `kiv build` the project (exit 0,
# no warnings), compile the program, run it over the sample and compare what it prints with
# sample.expected. Then the same with `kiv build --optimize`.
include(${CMAKE_CURRENT_LIST_DIR}/e2eSteps.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# run_example(name project program sample [kiv options]): in WORK_DIR/name, or with options in
# WORK_DIR/optimized/name.
function(run_example name project program sample)
  set(base ${WORK_DIR})
  if(ARGN)
    set(base ${WORK_DIR}/optimized)
  endif()
  set(dir ${base}/${name})
  file(COPY ${EXAMPLES_DIR}/${name} DESTINATION ${base} PATTERN out EXCLUDE)
  file(MAKE_DIRECTORY ${dir}/units ${dir}/bin)
  set(build_output "")
  kiv_e2e_build(${dir}/${project} build_output ${ARGN})
  # Nothing but the summaries of the two grammars, after the note on the created output folder.
  set(summary "[A-Za-z0-9_]+: 0 Error\\(s\\), 0 Warning\\(s\\)\n")
  string(REGEX REPLACE "kiv: created directory '[^\n]*'\n" "" rest "${build_output}")
  string(REGEX MATCHALL "${summary}" summaries "${rest}")
  string(REGEX REPLACE "${summary}" "" rest "${rest}")
  list(LENGTH summaries count)
  if(NOT rest STREQUAL "" OR NOT count EQUAL 2)
    message(FATAL_ERROR "${project} did not build cleanly:\n${build_output}")
  endif()
  kiv_e2e_compile(${dir}/${program} ${dir}/bin ${dir}/units ${RUNTIME_DIR} ${dir}/out)
  get_filename_component(exe ${program} NAME_WE)
  kiv_e2e_run(${dir}/bin/${exe} ${dir}/heaptrc.log output ${dir}/${sample})
  kiv_e2e_compare("${exe} output" ${EXAMPLES_DIR}/${name}/sample.expected "${output}")
  message("${name}: ${project} built ${ARGN}, ${exe} output matches sample.expected")
endfunction()

run_example(calc calc.kvp calc.dpr sample.calc)
run_example(json json.kvp jsoncount.dpr sample.json)
# The optimized form prints the same.
run_example(calc calc.kvp calc.dpr sample.calc --optimize)
run_example(json json.kvp jsoncount.dpr sample.json --optimize)
