# kiv_golden_run: generates the grammars of one golden feature (see kivGoldenRun.cpp). Included by
# the golden tests and, without the test suites, by the Windows cross build (KIV_WINDOWS_CHECK),
# which runs it under wine against the same expectations.
add_executable(kiv_golden_run ${KIV_SOURCE_ROOT}/tests/golden/kivGoldenRun.cpp)
target_link_libraries(kiv_golden_run PRIVATE kiv_engine)
target_include_directories(kiv_golden_run PRIVATE ${KIV_SOURCE_ROOT})
