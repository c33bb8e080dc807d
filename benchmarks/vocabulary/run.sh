#!/usr/bin/env bash
# Times `kiv build` of a parser grammar that imports a token vocabulary of N entries, for N
# doubling from 12,500 to 100,000: with hashed token lookup the time doubles with N (it grew with
# the square of N while names were looked up by scanning the list).
# Usage: benchmarks/vocabulary/run.sh [KIV]   (default: build/cli/kiv, built when missing)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
kiv="${1:-$root/build/cli/kiv}"
if [[ ! -x "$kiv" ]]; then
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build" --target kiv -j2 >/dev/null
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

printf '| Entries | kiv build (s, best of 3) | Peak memory (MB) |\n|---:|---:|---:|\n'
for n in ${KIV_VOCABULARY_SIZES:-12500 25000 50000 100000}; do
  # Token types repeat within 4..255: lookahead sets hold 256 types, and the import accepts a
  # vocabulary whose names share types.
  awk -v n="$n" 'BEGIN {
      print "// $Kiv Parser Generator: big -> BigTokens.txt$"; print "TBig"; print "TT_EOF=1";
      for (i = 0; i < n; i++) printf "TT_T%d=%d\n", i, 4 + i % 252 }' > "$work/BigTokens.txt"
  printf 'unit bigParser;\nparser TBigParser;\noptions { importVocab = Big; }\nr : T1 T%d ;\n' $((n - 1)) \
    > "$work/bigParser.g"
  best=""
  peak=0
  for _ in 1 2 3; do
    /usr/bin/time -f "%e %M" -o "$work/time" "$kiv" build "$work/bigParser.g" -o "$work/out" >/dev/null
    read -r seconds kb < "$work/time"
    if [[ -z "$best" ]] || awk -v a="$seconds" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$seconds; fi
    peak=$kb
  done
  printf '| %d | %s | %.1f |\n' "$n" "$best" "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
done
