#!/usr/bin/env bash
# benchmarks/run.sh - builds kiv, the KIV recognizers and the programs a user would pick instead,
# makes the inputs, runs everything side by side on the same files, checks that every program
# agrees on its checksum and prints one Markdown table of times, throughputs and ratios, followed
# by the generator's own times and peak memory.
#
# Usage: benchmarks/run.sh [--size MB] [--runs N] [--work DIR] [--skip-generator]
#   --size MB          size of each input (default 20)
#   --runs N           runs of every program; the best CPU time counts (default 3)
#   --work DIR         build and data folder (default ${TMPDIR:-/tmp}/kiv-bench)
#   --skip-generator   leave out the kiv build measurements
# The table also goes to DIR/results.md. Exit status 1 when a checksum disagrees or a build fails.
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
size=20
runs=3
work="${TMPDIR:-/tmp}/kiv-bench"
generator=1
while (($#)); do
  case "$1" in
    --size) size="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    --skip-generator) generator=0; shift ;;
    *) echo "usage: $0 [--size MB] [--runs N] [--work DIR] [--skip-generator]" >&2; exit 2 ;;
  esac
done
mkdir -p "$work"
work="$(cd "$work" && pwd)"
log="$work/build.log"
: > "$log"

step() { echo "== $*" >&2; }
fail() { echo "run.sh: $*" >&2; exit 1; }
quiet() { "$@" >> "$log" 2>&1 || { tail -30 "$log" >&2; fail "failed: $*"; }; }

for tool in gcc fpc bison flex cmake ninja; do
  command -v "$tool" > /dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done

# ---- tools and inputs -----------------------------------------------------------------------
step "tools and inputs ($size MB each)"
quiet gcc -O2 -o "$work/gendata" "$here/data/gendata.c"
quiet gcc -O2 -o "$work/measure" "$here/data/measure.c"
json="$work/data.json"
arith="$work/data.arith"
# The generator prints the sum of the arithmetic lines: the evaluators must reproduce it.
quiet "$work/gendata" json "$size" "$json"
arith_expected="$("$work/gendata" arith "$size" "$arith" | sed -n 's/.* sum \(-\?[0-9]*\)$/\1/p')"
[[ -n "$arith_expected" ]] || fail "gendata printed no sum"

# ---- kiv ------------------------------------------------------------------------------------
step "kiv (Release)"
quiet cmake -S "$root" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKIV_BUILD_WORKBENCH=OFF -DKIV_BUILD_TESTS=OFF -DKIV_PASCAL_TESTS=OFF
quiet cmake --build "$work/build" --target kiv -j2
kiv="$work/build/cli/kiv"

# kivgen NAME GRAMMAR... : generates the grammars in order into $work/NAME/gen
kivgen() {
  local name="$1"; shift
  mkdir -p "$work/$name/gen"
  for g in "$@"; do
    quiet "$kiv" build "$g" -o "$work/$name/gen" -x "$work/$name/gen"
  done
}

# fpcbuild NAME SOURCE [UNIT_DIR] : fpc -O3 -Mdelphi against the runtime, binary $work/bin/NAME
fpcbuild() {
  local name="$1" source="$2" units="${3:-}"
  local out="$work/fpc/$name"
  rm -rf "$out"; mkdir -p "$out" "$work/bin"
  quiet fpc -O3 -Mdelphi -Fu"$root/runtime/pascal" ${units:+-Fu"$units"} -FU"$out" -FE"$out" "$source"
  cp "$out/$(basename "${source%.*}")" "$work/bin/$name"
}

step "KIV recognizers"
kivgen json "$root/examples/json/jsonLexer.g" "$root/examples/json/jsonParser.g"
kivgen arith "$here/arith/arithLexer.g" "$here/arith/arithParser.g"
fpcbuild kiv-json "$root/examples/json/jsoncount.dpr" "$work/json/gen"
fpcbuild kiv-json-lexer "$here/json/jsontokens.dpr" "$work/json/gen"
fpcbuild kiv-arith "$here/arith/arith.dpr" "$work/arith/gen"
fpcbuild kiv-arith-lexer "$here/arith/arithtokens.dpr" "$work/arith/gen"

step "peers"
for g in json arith; do
  mkdir -p "$work/c/$g"
  quiet bison -d -o "$work/c/$g/$g.tab.c" "$here/peers/$g.y"
  quiet flex -o "$work/c/$g/$g.lex.c" "$here/peers/$g.l"
  quiet gcc -O2 -I"$work/c/$g" -o "$work/bin/bison-$g" "$work/c/$g/$g.tab.c" "$work/c/$g/$g.lex.c"
done
fpcbuild fpjson-scanner "$here/peers/fpjsonscan.pas"
fpcbuild fpjson-parser "$here/peers/fpjsonparse.pas"
fpcbuild bytecount "$here/peers/bytecount.pas"

# ---- runs -----------------------------------------------------------------------------------
# bench KEY CHECK_FIELD COMMAND... : runs the command $runs times, keeps the best CPU time
# (user + system) and the best wall time, and the value printed after "CHECK_FIELD:".
declare -A cpu wall check
bench() {
  local key="$1" field="$2"; shift 2
  local best_cpu="" best_wall="" line w u s value
  for ((r = 0; r < runs; r++)); do
    line="$("$work/measure" "$work/out.txt" "$@")" || { cat "$work/out.txt" >&2; fail "$key failed"; }
    read -r w u s _ <<< "$line"
    value="$(sed -n "s/^$field: *\(-\?[0-9]*\).*/\1/p" "$work/out.txt" | head -1)"
    [[ -n "$value" ]] || fail "$key printed no $field"
    if [[ -n "${check[$key]:-}" && "${check[$key]}" != "$value" ]]; then
      fail "$key printed $field $value, then ${check[$key]}"
    fi
    check[$key]="$value"
    best_cpu="$(awk -v a="$best_cpu" -v b="$(awk -v u="$u" -v s="$s" 'BEGIN { print u + s }')" \
      'BEGIN { print (a == "" || b < a) ? b : a }')"
    best_wall="$(awk -v a="$best_wall" -v b="$w" 'BEGIN { print (a == "" || b < a) ? b : a }')"
  done
  cpu[$key]="$best_cpu"
  wall[$key]="$best_wall"
}

step "running every program $runs time(s)"
b="$work/bin"
bench kiv-json values "$b/kiv-json" "$json"
bench bison-json values "$b/bison-json" "$json"
bench fpjson-parser values "$b/fpjson-parser" "$json"
bench kiv-json-lexer tokens "$b/kiv-json-lexer" "$json"
bench flex-json tokens "$b/bison-json" --tokens "$json"
bench fpjson-scanner tokens "$b/fpjson-scanner" "$json"
bench bytecount-json tokens "$b/bytecount" json "$json"
bench kiv-arith sum "$b/kiv-arith" "$arith"
bench bison-arith sum "$b/bison-arith" "$arith"
bench kiv-arith-lexer tokens "$b/kiv-arith-lexer" "$arith"
bench flex-arith tokens "$b/bison-arith" --tokens "$arith"
bench bytecount-arith tokens "$b/bytecount" arith "$arith"

# ---- checksums ------------------------------------------------------------------------------
same() {
  local what="$1" first="$2"; shift 2
  for k in "$@"; do
    [[ "${check[$k]}" == "${check[$first]}" ]] ||
      fail "checksums disagree ($what): $first ${check[$first]}, $k ${check[$k]}"
  done
}
same "JSON values" kiv-json bison-json fpjson-parser
same "JSON tokens" kiv-json-lexer flex-json fpjson-scanner bytecount-json
same "arithmetic tokens" kiv-arith-lexer flex-arith bytecount-arith
same "arithmetic sum" kiv-arith bison-arith
[[ "${check[kiv-arith]}" == "$arith_expected" ]] ||
  fail "the evaluators' sum ${check[kiv-arith]} is not the generator's $arith_expected"

# ---- table ----------------------------------------------------------------------------------
results="$work/results.md"
json_mb="$(awk -v n="$(stat -c %s "$json")" 'BEGIN { printf "%.1f", n / 1048576 }')"
arith_mb="$(awk -v n="$(stat -c %s "$arith")" 'BEGIN { printf "%.1f", n / 1048576 }')"
row() { # KEY LABEL INPUT_MB CHECK_NAME
  awk -v l="$2" -v c="$4 ${check[$1]}" -v t="${cpu[$1]}" -v w="${wall[$1]}" -v mb="$3" \
    'BEGIN { printf "| %s | %s | %.3f | %.3f | %.1f |\n", l, c, t, w, mb / t }'
}
ratio() { # LABEL KIV PEER TARGET : throughput of KIV over that of the peer (peer time / KIV time)
  awk -v l="$1" -v k="${cpu[$2]}" -v p="${cpu[$3]}" -v t="$4" 'BEGIN {
    r = p / k
    if (t == "") verdict = ""
    else verdict = (r >= t) ? "met (target >= " t ")" : "missed (target >= " t ")"
    printf "| %s | %.2f | %s |\n", l, r, verdict }'
}
{
  echo "Inputs: JSON $json_mb MB, arithmetic $arith_mb MB; best of $runs run(s); CPU = user + system seconds."
  echo
  echo "| Program | Checksum | CPU s | Wall s | MB/s (CPU) |"
  echo "|---|---|---:|---:|---:|"
  row kiv-json "KIV JSON parser (examples/json)" "$json_mb" values
  row bison-json "bison + flex JSON parser (C, -O2)" "$json_mb" values
  row fpjson-parser "fpjson TJSONParser" "$json_mb" values
  row kiv-json-lexer "KIV JSON lexer alone" "$json_mb" tokens
  row flex-json "flex JSON scanner alone" "$json_mb" tokens
  row fpjson-scanner "fpjson TJSONScanner" "$json_mb" tokens
  row bytecount-json "hand-written byte loop (Pascal)" "$json_mb" tokens
  row kiv-arith "KIV arithmetic evaluator" "$arith_mb" sum
  row bison-arith "bison + flex arithmetic evaluator (C, -O2)" "$arith_mb" sum
  row kiv-arith-lexer "KIV arithmetic lexer alone" "$arith_mb" tokens
  row flex-arith "flex arithmetic scanner alone" "$arith_mb" tokens
  row bytecount-arith "hand-written byte loop (Pascal)" "$arith_mb" tokens
  echo
  echo "| Ratio (KIV throughput / peer throughput) | Value | Target |"
  echo "|---|---:|---|"
  ratio "JSON: KIV parser / bison + flex" kiv-json bison-json 1.0
  ratio "JSON: KIV parser / fpjson TJSONParser" kiv-json fpjson-parser 2.5
  ratio "JSON: KIV lexer / flex scanner" kiv-json-lexer flex-json ""
  ratio "JSON: KIV lexer / fpjson TJSONScanner" kiv-json-lexer fpjson-scanner ""
  ratio "JSON: KIV lexer / byte loop" kiv-json-lexer bytecount-json ""
  ratio "Arithmetic: KIV evaluator / bison + flex" kiv-arith bison-arith 1.0
  ratio "Arithmetic: KIV lexer / flex scanner" kiv-arith-lexer flex-arith ""
  ratio "Arithmetic: KIV lexer / byte loop" kiv-arith-lexer bytecount-arith ""
} > "$results"

# ---- the generator --------------------------------------------------------------------------
# build_time LABEL GRAMMAR... : best wall and CPU time and peak memory of "kiv build" of each
# grammar in order (a lexer first, so that its vocabulary is there for the parser), with the
# number of rules kiv read (its element graph dump).
build_time() {
  local label="$1"; shift
  local out="$work/gen/$(basename "$1" .g)"
  rm -rf "$out"; mkdir -p "$out"
  # Vocabulary files that lie next to the grammar are imported from there.
  cp "$(dirname "$1")"/*Tokens.txt "$out"/ 2> /dev/null || true
  local best_w="" best_c="" peak=0 line w u s m g total_w total_c rules=0
  for ((r = 0; r < runs; r++)); do
    total_w=0; total_c=0
    for g in "$@"; do
      line="$("$work/measure" "$work/out.txt" "$kiv" build "$g" -o "$out" -x "$out")" ||
        { cat "$work/out.txt" >&2; fail "kiv build $g failed"; }
      grep -q " 0 Error(s)" "$work/out.txt" || { cat "$work/out.txt" >&2; fail "kiv build $g reported errors"; }
      read -r w u s m <<< "$line"
      total_w="$(awk -v a="$total_w" -v b="$w" 'BEGIN { print a + b }')"
      total_c="$(awk -v a="$total_c" -v u="$u" -v s="$s" 'BEGIN { print a + u + s }')"
      ((m > peak)) && peak="$m"
    done
    best_w="$(awk -v a="$best_w" -v b="$total_w" 'BEGIN { print (a == "" || b < a) ? b : a }')"
    best_c="$(awk -v a="$best_c" -v b="$total_c" 'BEGIN { print (a == "" || b < a) ? b : a }')"
  done
  for g in "$@"; do
    rules=$((rules + $("$kiv" build "$g" -o "$out" -x "$out" --dump=graph | grep -c '^rule ')))
  done
  awk -v l="$label" -v n="$rules" -v w="$best_w" -v c="$best_c" -v m="$peak" \
    'BEGIN { printf "| %s | %s | %.3f | %.3f | %.1f |\n", l, n, w, c, m / 1024 }'
}

if ((generator)); then
  step "kiv build on the examples, the Pascal grammar and the synthetic grammars"
  syn="$work/synthetic"
  rm -rf "$syn"
  KIV_ANALYZERBENCH_BUILD="$work/analyzerbench" quiet bash "$here/analyzer/run.sh" --write "$syn" 500 1000 2000
  {
    echo
    echo "| kiv build | Rules | Wall s | CPU s | Peak MB |"
    echo "|---|---:|---:|---:|---:|"
    build_time "examples/json (lexer + parser)" "$root/examples/json/jsonLexer.g" "$root/examples/json/jsonParser.g"
    build_time "examples/calc (lexer + parser)" "$root/examples/calc/calcLexer.g" "$root/examples/calc/calcParser.g"
    build_time "Object Pascal subset, k = 2 (lexer + parser)" "$here/pascal/pasLexer.g" "$here/pascal/pasParser.g"
    for n in 500 1000 2000; do
      for k in 1 2 3 4 5 6; do
        build_time "synthetic, k = $k" "$syn/bench_${n}_k$k.g"
      done
    done
  } >> "$results"
fi

cat "$results"
