#!/usr/bin/env bash
# random-grammars.sh - builds kiv and kiv_random_grammars, then runs the random grammar test over
# a range of seeds: random lexer and parser grammar pairs are built with kiv, compiled with fpc and
# run over inputs drawn from them and over random bytes (see tests/random/README.md).
#
#   scripts/random-grammars.sh [FIRST_SEED [COUNT [JOBS]]]      defaults: 1 1000 nproc
#
# Failures print their seed and keep the grammar files, the generated units and the failing input
# in build-random/work/failures/seed-N; "scripts/random-grammars.sh N 1" repeats seed N alone.
set -euo pipefail
cd "$(dirname "$0")/.."
first=${1:-1}
count=${2:-1000}
jobs=${3:-$(nproc)}
build=build-random
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIV_BUILD_WORKBENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs" --target kiv kiv_random_grammars
exec "$build/tests/random/kiv_random_grammars" \
  --kiv "$build/cli/kiv" --fpc "$(command -v fpc)" --runtime runtime/pascal \
  --work "$build/work" --first "$first" --count "$count" --batch 50 --jobs "$jobs"
