#!/usr/bin/env bash
# test.sh - installs what is missing, builds everything twice (normal, and the engine and runtime
# with AddressSanitizer + UndefinedBehaviorSanitizer) and runs every test with CTest.
# Exits non-zero on the first failing step.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh

jobs=$(nproc)
export QT_QPA_PLATFORM=offscreen

echo "== normal build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

echo "== Windows build (mingw-w64 cross build, run under wine)"
scripts/windows-check.sh build/cli/kiv

echo "== sanitizer build (ASan + UBSan)"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKIV_SANITIZE=ON \
      -DKIV_BUILD_WORKBENCH=OFF -DKIV_PASCAL_TESTS=OFF >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
scripts/fuzz-smoke.sh
