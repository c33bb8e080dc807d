#!/usr/bin/env bash
# Builds analyzerbench (optimised, outside the source tree) and runs it.
# Usage: benchmarks/analyzer/run.sh [N ...]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# One build folder per source tree (KIV_ANALYZERBENCH_BUILD overrides it): CMake refuses a build
# folder that another checkout configured.
build="${KIV_ANALYZERBENCH_BUILD:-${TMPDIR:-/tmp}/kiv-analyzerbench-build-$(printf '%s' "$here" | cksum | cut -d' ' -f1)}"

cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release > "$build.log" 2>&1 || { cat "$build.log"; exit 1; }
cmake --build "$build" --target analyzerbench -j2 >> "$build.log" 2>&1 || { cat "$build.log"; exit 1; }
"$build/analyzerbench" "$@"
