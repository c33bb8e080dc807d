#!/usr/bin/env bash
# Builds charbench with fpc -O3 outside the source tree, makes a test file
# of printable text when it does not exist yet, and measures block reads
# against byte-per-Read input, from the file and from memory.
# Usage: benchmarks/charbuffer/run.sh [FILE] [SIZE_MB]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
file="${1:-/tmp/kiv-charbench.txt}"
size_mb="${2:-50}"
build="${TMPDIR:-/tmp}/kiv-charbench-build"

mkdir -p "$build/units"
fpc -Mdelphi -O3 -vw -Fu"$root/runtime/pascal" -FU"$build/units" -FE"$build" \
  "$here/charbench.pas" > "$build/compile.log" || { cat "$build/compile.log"; exit 1; }

if [ ! -f "$file" ]; then
  # Base64 of random bytes: printable, never a zero byte, with line ends.
  head -c $((size_mb * 1024 * 1024 * 3 / 4)) /dev/urandom | base64 > "$file"
fi

"$build/charbench" "$file"
"$build/charbench" "$file" --memory
"$build/charbench" "$file" --memory --byte-per-read
"$build/charbench" "$file" --byte-per-read
