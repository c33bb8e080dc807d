#!/usr/bin/env bash
# Builds analyzerbench (optimised, outside the source tree) and runs it.
# Usage: benchmarks/analyzer/run.sh [N ...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${TMPDIR:-/tmp}/kiv-analyzerbench-build"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release > "$build.log" 2>&1 || { cat "$build.log"; exit 1; }
cmake --build "$build" --target analyzerbench -j2 >> "$build.log" 2>&1 || { cat "$build.log"; exit 1; }
"$build/analyzerbench" "$@"
