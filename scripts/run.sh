#!/usr/bin/env bash
# run.sh - installs what is missing, builds and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

# The runtime's demo: a hand-written lexer and LL(2) evaluator over the C++ recognizer runtime.
echo "== kiv-runtime-demo runtime/cpp/demo/sample.calc"
build/runtime/cpp/kiv-runtime-demo runtime/cpp/demo/sample.calc
