#!/usr/bin/env bash
# Times `kiv build --dump=lookahead` with and without --explain on the 2,000-rule synthetic grammar
# of benchmarks/analyzer at k = 4 and on the Object Pascal subset of benchmarks/pascal: what
# explaining every nondeterminism report costs. Builds an optimised kiv outside the source tree.
# Usage: benchmarks/explain/run.sh [N]   (N: rules of the synthetic grammar, default 2000)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
n="${1:-2000}"
build="${KIV_EXPLAINBENCH_BUILD:-${TMPDIR:-/tmp}/kiv-explainbench-build-$(printf '%s' "$here" | cksum | cut -d' ' -f1)}"
work="$build/work"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKIV_BUILD_WORKBENCH=OFF \
  -DKIV_BUILD_TESTS=OFF -DKIV_PASCAL_TESTS=OFF > "$build.log" 2>&1 || { cat "$build.log"; exit 1; }
cmake --build "$build" --target kiv -j2 >> "$build.log" 2>&1 || { cat "$build.log"; exit 1; }
kiv="$build/cli/kiv"
rm -rf "$work" && mkdir -p "$work"
"$here/../analyzer/run.sh" --write "$work" "$n" > /dev/null
cp "$root/benchmarks/pascal/pasLexer.g" "$root/benchmarks/pascal/pasParser.g" "$work/"
"$kiv" build -q "$work/pasLexer.g" -o "$work" -x "$work"

# Seconds of one run, best of three.
best() {
  local b=""
  for _ in 1 2 3; do
    local s e t
    s=$(date +%s.%N); "$@" > /dev/null; e=$(date +%s.%N)
    t=$(echo "$e - $s" | bc)
    if [ -z "$b" ] || [ "$(echo "$t < $b" | bc)" = 1 ]; then b=$t; fi
  done
  printf '%.3f' "$b"
}

printf '%-28s %8s %10s %10s\n' grammar reports plain_s explain_s
for g in "bench_${n}_k4.g" pasParser.g; do
  reports=$("$kiv" build "$work/$g" -x "$work" --dump=lookahead | grep -c 'nondeterminism' || true)
  plain=$(best "$kiv" build "$work/$g" -x "$work" --dump=lookahead)
  explained=$(best "$kiv" build "$work/$g" -x "$work" --dump=lookahead --explain)
  printf '%-28s %8s %10s %10s\n' "$g" "$reports" "$plain" "$explained"
done
