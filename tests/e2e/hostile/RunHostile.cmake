# Runs the hostile-input feature: the steps of RunE2E.cmake (the example grammars and the Nest
# grammars built, drive.pas run over cases.txt), then the example programs themselves, compiled
# against the same generated units, over a million nested arrays and deep parentheses: each must
# exit with 1 (not die of a signal), name the exception on its error output and leak nothing.
# The programs built on the optimized form's units must do the same; where the guard stops them
# depends on the size of the rules' frames, so the column may differ between the forms.
# Inputs: those of RunE2E.cmake and EXAMPLES_DIR.
include(${CMAKE_CURRENT_LIST_DIR}/../RunE2E.cmake)

# hostile_run(program input_file regex): the program must exit with 1, print a line matching the
# regex on its error output and leave no heap block unfreed.
function(hostile_run program input regex)
  set(heap_log ${WORK_DIR}/heaptrc-program.log)
  file(REMOVE ${heap_log})
  set(ENV{HEAPTRC} "log=${heap_log}")
  execute_process(
    COMMAND ${program} ${input}
    RESULT_VARIABLE result
    OUTPUT_VARIABLE output
    ERROR_VARIABLE errors)
  if(NOT result STREQUAL "1")
    message(FATAL_ERROR "${program} ${input} exited with ${result}, not 1:\n${output}${errors}")
  endif()
  if(NOT errors MATCHES "${regex}")
    message(FATAL_ERROR "${program} ${input} printed no line matching ${regex}:\n${errors}")
  endif()
  file(READ ${heap_log} heap_report)
  if(NOT heap_report MATCHES "(^|\n)0 unfreed memory blocks")
    message(FATAL_ERROR "${program} ${input} leaks memory:\n${heap_report}")
  endif()
  message("${program} ${input}: ${errors}")
endfunction()

set(deep_dir ${WORK_DIR}/deep)
file(MAKE_DIRECTORY ${deep_dir})
string(REPEAT "[" 1000000 brackets)
file(WRITE ${deep_dir}/brackets.json "${brackets}\n")
string(REPEAT "(" 1000000 open)
string(REPEAT ")" 1000000 close)
file(WRITE ${deep_dir}/parens.calc "x = ${open}1${close};\n")

# The example programs on the units of both forms. on the optimized form's units.
set(opt_dir ${WORK_DIR}/optimized)
foreach(example json/jsoncount:brackets.json calc/calc:parens.calc)
  string(REPLACE ":" ";" parts ${example})
  list(GET parts 0 program)
  list(GET parts 1 input)
  get_filename_component(name ${program} NAME)
  kiv_e2e_compile(${EXAMPLES_DIR}/${program}.dpr ${bin_dir} ${unit_dir} ${RUNTIME_DIR} ${gen_dir})
  hostile_run(${bin_dir}/${name} ${deep_dir}/${input} "${input}\\(1,[0-9]+\\): nesting too deep")
  kiv_e2e_compile(${EXAMPLES_DIR}/${program}.dpr ${opt_dir}/bin ${opt_dir}/units ${RUNTIME_DIR} ${opt_dir}/gen)
  hostile_run(${opt_dir}/bin/${name} ${deep_dir}/${input} "${input}\\(1,[0-9]+\\): nesting too deep")
endforeach()
