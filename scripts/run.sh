#!/usr/bin/env bash
# run.sh - installs what is missing, builds KIV, then builds the example projects with `kiv`,
# compiles the generated recognizers with Free Pascal and runs them on their sample input.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

kiv=build/cli/kiv
runtime=runtime/pascal

# run_example DIR PROJECT PROGRAM INPUT: generate, compile and run one example.
run_example() {
  local dir=$1 project=$2 program=$3 input=$4
  local bin=build/examples/$(basename "$dir")
  echo
  echo "== kiv build $dir/$project"
  "$kiv" build "$dir/$project"
  mkdir -p "$bin"
  echo "== fpc -Mdelphi $dir/$program"
  fpc -Mdelphi -O2 -Fu"$runtime" -Fu"$dir/out" -FU"$bin" -FE"$bin" -v0 "$dir/$program" >"$bin/fpc.log" 2>&1 \
    || { cat "$bin/fpc.log"; exit 1; }
  echo "== $bin/${program%.dpr} $dir/$input"
  "$bin/${program%.dpr}" "$dir/$input"
}

run_example examples/calc calc.kvp calc.dpr sample.calc
run_example examples/json json.kvp jsoncount.dpr sample.json
