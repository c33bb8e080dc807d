# fuzz-common.sh - sourced by fuzz-smoke.sh and fuzz-campaign.sh: the libFuzzer targets, their
# dictionaries and the clang++ build of them in build-fuzz (run from the source root).

# The dictionary of each target, in fuzz/.
declare -A fuzz_dicts=([tool]=kiv.dict [vocabulary]=vocabulary.dict [project]=project.dict)

# fuzz_build JOBS TARGET... : configures build-fuzz (libFuzzer, ASan + UBSan) and builds the targets.
fuzz_build() {
  local jobs=$1
  shift
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKIV_FUZZ=ON -DKIV_BUILD_WORKBENCH=OFF -DKIV_PASCAL_TESTS=OFF -DKIV_BUILD_TESTS=OFF >/dev/null
  cmake --build build-fuzz -j "$jobs" --target "${@/#/kiv_fuzz_}"
}
