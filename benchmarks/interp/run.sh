#!/usr/bin/env bash
# benchmarks/interp/run.sh - how fast the test rig (`kiv parse`) runs the JSON grammars of
# examples/json: the lexer alone and the parser over it, on the benchmark's JSON data.
# Usage: benchmarks/interp/run.sh [--kiv PATH] [--size MB] [--runs N] [--work DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
kiv="$root/build/cli/kiv"
size=5
runs=3
work="${TMPDIR:-/tmp}/kiv-bench-interp"
while [[ $# -gt 0 ]]; do
  case "$1" in
    --kiv) kiv="$2"; shift 2 ;;
    --size) size="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    *) echo "usage: $0 [--kiv PATH] [--size MB] [--runs N] [--work DIR]" >&2; exit 2 ;;
  esac
done
[[ -x "$kiv" ]] || { echo "no kiv at $kiv (build it, or give --kiv)" >&2; exit 1; }
mkdir -p "$work"
gcc -O2 -o "$work/gendata" "$root/benchmarks/data/gendata.c"
gcc -O2 -o "$work/measure" "$root/benchmarks/data/measure.c"
"$work/gendata" json "$size" "$work/data.json" > /dev/null
bytes=$(stat -c %s "$work/data.json")
cd "$root/examples/json"

# Best CPU time (user + system) of N runs; measure.c prints "wall user sys maxrss".
best() {
  local best_cpu=""
  for _ in $(seq "$runs"); do
    local line
    line="$("$work/measure" "$work/out.txt" "$@")" || { cat "$work/out.txt" >&2; exit 1; }
    local cpu
    cpu=$(awk '{ printf "%.3f", $2 + $3 }' <<< "$line")
    if [[ -z "$best_cpu" ]] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then best_cpu=$cpu; fi
  done
  echo "$best_cpu"
}

lexer=$(best "$kiv" parse -q jsonLexer.g "$work/data.json")
parser=$(best "$kiv" parse -q --lexer jsonLexer.g jsonParser.g "$work/data.json")
echo "| run | input | best CPU time | MB/s |"
echo "|---|---|---|---|"
for pair in "lexer alone:$lexer" "lexer + parser:$parser"; do
  name=${pair%%:*}
  t=${pair##*:}
  awk -v n="$name" -v t="$t" -v b="$bytes" 'BEGIN { printf "| %s | %.1f MB JSON | %.2f s | %.1f |\n", n, b / 1e6, t, (t > 0 ? b / 1e6 / t : 0) }'
done
