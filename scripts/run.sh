#!/usr/bin/env bash
# run.sh - the main job: installs what is missing, builds the `kiv` command (only what the
# examples need), then builds each example project with kiv, compiles the generated recognizers
# with Free Pascal, runs them on their samples and compares what they print with the expected
# output.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
echo "== building kiv"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target kiv -j "$(nproc)" | tail -1

kiv=build/cli/kiv
runtime=$("$kiv" --print-runtime-dir)
failed=0

# run_example DIR PROJECT PROGRAM INPUT: generate, compile, run and compare one example.
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
  "$bin/${program%.dpr}" "$dir/$input" | tee "$bin/output.txt"
  if diff -u "$dir/sample.expected" "$bin/output.txt" >"$bin/output.diff"; then
    echo "OK: the output matches $dir/sample.expected"
  else
    echo "DIFFERENT from $dir/sample.expected:"
    cat "$bin/output.diff"
    failed=1
  fi
}

run_example examples/calc calc.kvp calc.dpr sample.calc
run_example examples/json json.kvp jsoncount.dpr sample.json

echo
echo "The generated units are in examples/calc/out and examples/json/out; the Pascal runtime they"
echo "compile against is in $runtime."
echo "Next: docs/tutorial.md builds a lexer and a parser of your own, step by step."
exit $failed
