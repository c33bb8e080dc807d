#!/usr/bin/env bash
# benchmarks/scaling/run.sh - how the generated JSON recognizer of examples/json scales with the
# input where hostile input used to hurt it: one string of N escapes (every escape is a call of
# the protected rule ESCAPE inside one token), N nested arrays on a thread with a 1 GB stack, and
# N nested arrays on the main thread, which are too deep for its stack. Each input size doubles
# from row to row; the time should at most double with it (the last group stops at the stack
# limit, so its time stays flat).
#
# Usage: benchmarks/scaling/run.sh [--runs N] [--work DIR] [--runtime DIR] [--kiv PATH]
#   --runs N        runs of every input; the best CPU time counts (default 3)
#   --work DIR      build and data folder (default ${TMPDIR:-/tmp}/kiv-scaling)
#   --runtime DIR   the Pascal runtime to compile against (default runtime/pascal), to compare
#                   another version of it
#   --kiv PATH      a kiv command to generate with (default: built in Release in DIR/build)
# Prints one Markdown table (also DIR/results.md). Exit status 1 when a program gives a wrong
# answer: a wrong count of values, a crash, or no "nesting too deep" error where the stack runs
# out.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
runs=3
work="${TMPDIR:-/tmp}/kiv-scaling"
runtime="$root/runtime/pascal"
kiv=""
while (($#)); do
  case "$1" in
    --runs) runs="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    --runtime) runtime="$(cd "$2" && pwd)"; shift 2 ;;
    --kiv) kiv="$2"; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--work DIR] [--runtime DIR] [--kiv PATH]" >&2; exit 2 ;;
  esac
done
mkdir -p "$work"
work="$(cd "$work" && pwd)"
log="$work/build.log"
: > "$log"

step() { echo "== $*" >&2; }
fail() { echo "run.sh: $*" >&2; exit 1; }
quiet() { "$@" >> "$log" 2>&1 || { tail -30 "$log" >&2; fail "failed: $*"; }; }

for tool in gcc fpc awk; do
  command -v "$tool" > /dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done

step "tools"
quiet gcc -O2 -o "$work/measure" "$root/benchmarks/data/measure.c"
if [[ -z "$kiv" ]]; then
  for tool in cmake ninja; do
    command -v "$tool" > /dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
  done
  step "kiv (Release)"
  quiet cmake -S "$root" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKIV_BUILD_WORKBENCH=OFF -DKIV_BUILD_TESTS=OFF -DKIV_PASCAL_TESTS=OFF
  quiet cmake --build "$work/build" --target kiv -j2
  kiv="$work/build/cli/kiv"
fi

step "JSON recognizer against $runtime"
gen="$work/gen"
rm -rf "$gen" "$work/fpc"
mkdir -p "$gen" "$work/fpc" "$work/bin"
quiet "$kiv" build "$root/examples/json/jsonLexer.g" -o "$gen" -x "$gen"
quiet "$kiv" build "$root/examples/json/jsonParser.g" -o "$gen" -x "$gen"
for source in "$root/examples/json/jsoncount.dpr" "$here/jsondeep.dpr"; do
  name="$(basename "${source%.*}")"
  mkdir -p "$work/fpc/$name"
  quiet fpc -O3 -Mdelphi -Fu"$runtime" -Fu"$gen" -FU"$work/fpc/$name" -FE"$work/fpc/$name" "$source"
  cp "$work/fpc/$name/$name" "$work/bin/$name"
done

# ---- inputs -----------------------------------------------------------------------------------
step "inputs"
data="$work/data"
mkdir -p "$data"
escapes=(160000 320000 640000 1280000 2560000 5120000)
nested=(50000 100000 200000 400000)
too_deep=(1000000 2000000 4000000 8000000)
for n in "${escapes[@]}"; do
  awk -v n="$n" 'BEGIN { printf "[\""; for (i = 0; i < n; i++) printf "\\n"; printf "\"]\n" }' \
    > "$data/escapes-$n.json"
done
for n in "${nested[@]}" "${too_deep[@]}"; do
  [[ -f "$data/nested-$n.json" ]] && continue
  awk -v n="$n" 'BEGIN { for (i = 0; i < n; i++) printf "["; for (i = 0; i < n; i++) printf "]"; print "" }' \
    > "$data/nested-$n.json"
done

# ---- runs -------------------------------------------------------------------------------------
# bench EXPECT COMMAND... : best CPU time (user + system) of $runs runs into $best, and what the
# program did into $outcome. EXPECT is "values: N" (exit 0 and that count printed) or "too deep"
# (exit 1 and the nesting error on the error output); anything else is counted as wrong.
best=""
outcome=""
wrong=0
bench() {
  local expect="$1"; shift
  local r line status w u s cpu
  best=""
  for ((r = 0; r < runs; r++)); do
    status=0
    line="$("$work/measure" "$work/out.txt" "$@" 2> "$work/err.txt")" || status=$?
    if ((status > 128)); then
      outcome="killed by signal $((status - 128))"
    elif ((status == 1)) && grep -q "EkivNestingTooDeep" "$work/err.txt"; then
      outcome="too deep"
    elif ((status == 0)); then
      outcome="$(head -1 "$work/out.txt" | tr -s " ")"
    else
      outcome="exit $status: $(head -1 "$work/err.txt")"
    fi
    read -r w u s _ <<< "$line"
    cpu="$(awk -v u="$u" -v s="$s" 'BEGIN { print u + s }')"
    best="$(awk -v a="$best" -v b="$cpu" 'BEGIN { print (a == "" || b < a) ? b : a }')"
  done
  if [[ "$outcome" != "$expect" ]]; then
    echo "run.sh: $* gave \"$outcome\", expected \"$expect\"" >&2
    wrong=1
  fi
}

results="$work/results.md"
row() { # LABEL N CPU PREVIOUS_CPU
  awk -v l="$1" -v n="$2" -v t="$3" -v p="$4" -v o="$outcome" 'BEGIN {
    ratio = (p == "") ? "" : sprintf("%.2f", t / p)
    printf "| %s | %d | %s | %.3f | %s |\n", l, n, o, t, ratio }'
}
{
  echo "Runtime: $runtime; best of $runs run(s); CPU = user + system seconds."
  echo
  echo "| Input | N | Result | CPU s | Time ratio to N/2 |"
  echo "|---|---:|---|---:|---:|"
} > "$results"

step "one string of N escapes"
previous=""
for n in "${escapes[@]}"; do
  bench "values: 2" "$work/bin/jsoncount" "$data/escapes-$n.json"
  row "one string of N escapes (jsoncount)" "$n" "$best" "$previous" >> "$results"
  previous="$best"
done

step "N nested arrays on a 1 GB thread stack"
previous=""
for n in "${nested[@]}"; do
  # The run-time library takes the smaller of a thread's stack and the stack limit.
  bench "values: $n" bash -c 'ulimit -s "$(ulimit -Hs)" && exec "$@"' - \
    "$work/bin/jsondeep" 1024 "$data/nested-$n.json"
  row "N nested arrays, 1 GB stack (jsondeep)" "$n" "$best" "$previous" >> "$results"
  previous="$best"
done

step "N nested arrays on the main thread: too deep"
previous=""
for n in "${too_deep[@]}"; do
  bench "too deep" "$work/bin/jsoncount" "$data/nested-$n.json"
  row "N nested arrays, main thread (jsoncount)" "$n" "$best" "$previous" >> "$results"
  previous="$best"
done

cat "$results"
exit "$wrong"
