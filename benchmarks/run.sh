#!/usr/bin/env bash
# benchmarks/run.sh - builds kiv, the KIV recognizers and the programs a user would pick instead,
# makes the inputs, runs everything side by side on the same files, checks that every program
# agrees on its checksum and prints one Markdown table of times, throughputs and ratios, followed
# by the generator's own times and peak memory, and draws the throughputs with gnuplot.
# Every KIV program is built in the default mode and, when the kiv built here knows
# "kiv build --optimize", in the optimized mode as well.
#
# Usage: benchmarks/run.sh [--size MB] [--runs N] [--work DIR] [--plot FILE] [--skip-generator]
#   --size MB          size of each input (default 20)
#   --runs N           runs of every program; the best CPU time counts (default 3)
#   --work DIR         build and data folder (default ${TMPDIR:-/tmp}/kiv-bench)
#   --plot FILE        the throughput plot (PNG, default benchmarks/throughput.png)
#   --skip-generator   leave out the kiv build measurements
# The table also goes to DIR/results.md. Exit status 1 when a checksum disagrees or a build fails,
# 2 on a usage error. benchmarks/deps.sh installs the peers' tools (it is run first).
set -euo pipefail

here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/.." && pwd)"
size=20
runs=3
work="${TMPDIR:-/tmp}/kiv-bench"
plot="$here/throughput.png"
generator=1
while (($#)); do
  case "$1" in
    --size) size="$2"; shift 2 ;;
    --runs) runs="$2"; shift 2 ;;
    --work) work="$2"; shift 2 ;;
    --plot) plot="$2"; shift 2 ;;
    --skip-generator) generator=0; shift ;;
    *) echo "usage: $0 [--size MB] [--runs N] [--work DIR] [--plot FILE] [--skip-generator]" >&2; exit 2 ;;
  esac
done
mkdir -p "$work"
work="$(cd "$work" && pwd)"
log="$work/build.log"
: > "$log"

step() { echo "== $*" >&2; }
fail() { echo "run.sh: $*" >&2; exit 1; }
quiet() { "$@" >> "$log" 2>&1 || { tail -30 "$log" >&2; fail "failed: $*"; }; }

for tool in gcc g++ fpc bison flex cmake ninja; do
  command -v "$tool" > /dev/null || fail "$tool is missing (scripts/deps.sh installs it)"
done
bash "$here/deps.sh" || fail "benchmarks/deps.sh could not install the peers' tools"
for tool in pyacc plex cococpp gnuplot; do
  command -v "$tool" > /dev/null || fail "$tool is missing (benchmarks/deps.sh installs it)"
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
launcher=()
command -v ccache > /dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
quiet cmake -S "$root" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DKIV_BUILD_WORKBENCH=OFF -DKIV_BUILD_TESTS=OFF -DKIV_PASCAL_TESTS=OFF "${launcher[@]}"
quiet cmake --build "$work/build" --target kiv -j2
kiv="$work/build/cli/kiv"
# The optimized mode is measured when this kiv has it.
optimized=0
if "$kiv" build --help 2>&1 | grep -- '--optimize' >/dev/null; then
  optimized=1
else
  echo "note: this kiv build has no --optimize; only the default mode is measured" >&2
fi

# kivgen NAME MODE GRAMMAR... : generates the grammars in order into $work/NAME/gen, in the
# default mode or (MODE "optimized") with --optimize
kivgen() {
  local name="$1" mode="$2"; shift 2
  local flags=()
  [[ "$mode" == optimized ]] && flags=(--optimize)
  rm -rf "$work/$name/gen"; mkdir -p "$work/$name/gen"
  for g in "$@"; do
    quiet "$kiv" build "${flags[@]}" "$g" -o "$work/$name/gen" -x "$work/$name/gen"
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

# The programs of the default mode are kiv-*, those of the optimized mode kiv-*-opt.
modes=(default)
((optimized)) && modes+=(optimized)
step "KIV recognizers (${modes[*]})"
for mode in "${modes[@]}"; do
  sfx=""; [[ "$mode" == optimized ]] && sfx="-opt"
  kivgen "json$sfx" "$mode" "$root/examples/json/jsonLexer.g" "$root/examples/json/jsonParser.g"
  kivgen "arith$sfx" "$mode" "$here/arith/arithLexer.g" "$here/arith/arithParser.g"
  fpcbuild "kiv-json$sfx" "$root/examples/json/jsoncount.dpr" "$work/json$sfx/gen"
  fpcbuild "kiv-json-lexer$sfx" "$here/json/jsontokens.dpr" "$work/json$sfx/gen"
  fpcbuild "kiv-arith$sfx" "$here/arith/arith.dpr" "$work/arith$sfx/gen"
  fpcbuild "kiv-arith-lexer$sfx" "$here/arith/arithtokens.dpr" "$work/arith$sfx/gen"
done

step "peers"
for g in json arith; do
  mkdir -p "$work/c/$g"
  quiet bison -d -o "$work/c/$g/$g.tab.c" "$here/peers/$g.y"
  quiet flex -o "$work/c/$g/$g.lex.c" "$here/peers/$g.l"
  quiet gcc -O2 -I"$work/c/$g" -o "$work/bin/bison-$g" "$work/c/$g/$g.tab.c" "$work/c/$g/$g.lex.c"
done
# TP Yacc + TP Lex: the lexer unit is included by the parser program. Both tools look for their
# code templates (yylex.cod, yyparse.cod) under $FPCDIR/lexyacc.
if [[ -z "${FPCDIR:-}" ]]; then
  for d in /usr/lib/*/fpc/"$(fpc -iV)" /usr/lib/fpc/"$(fpc -iV)" /usr/local/lib/fpc/"$(fpc -iV)"; do
    [[ -f "$d/lexyacc/yylex.cod" ]] && { export FPCDIR="$d"; break; }
  done
fi
for g in json arith; do
  tp="$work/tp/$g"
  rm -rf "$tp"; mkdir -p "$tp"
  cp "$here/peers/tp$g.y" "$here/peers/tp${g}lex.l" "$tp/"
  (cd "$tp" && quiet plex "tp${g}lex.l" && quiet pyacc "tp$g.y")
  [[ -f "$tp/tp$g.pas" && -f "$tp/tp${g}lex.pas" ]] || fail "TP Yacc or TP Lex wrote nothing for tp$g (see $log)"
  (cd "$tp" && quiet fpc -O3 -Mobjfpc "tp$g.pas")
  cp "$tp/tp$g" "$work/bin/tp-$g"
done
# Coco/R for C++ with the frame files of its package.
frames="$(dirname "$(dpkg -L coco-cpp 2> /dev/null | grep '/Parser\.frame$' | head -1)")"
[[ -f "$frames/Scanner.frame" ]] || frames=/usr/share/coco-cpp
for g in json arith; do
  cc="$work/coco/$g"
  rm -rf "$cc"; mkdir -p "$cc"
  quiet cococpp "$here/peers/coco$g.atg" -frames "$frames" -o "$cc"
  quiet g++ -O2 -I"$cc" -o "$work/bin/coco-$g" "$here/peers/coco$g.cpp" "$cc/Parser.cpp" "$cc/Scanner.cpp"
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
kivs=(kiv)
((optimized)) && kivs+=(kiv-opt)
for k in "${kivs[@]}"; do
  sfx="${k#kiv}"
  bench "kiv-json$sfx" values "$b/kiv-json$sfx" "$json"
  bench "kiv-json-lexer$sfx" tokens "$b/kiv-json-lexer$sfx" "$json"
  bench "kiv-arith$sfx" sum "$b/kiv-arith$sfx" "$arith"
  bench "kiv-arith-lexer$sfx" tokens "$b/kiv-arith-lexer$sfx" "$arith"
done
bench bison-json values "$b/bison-json" "$json"
bench coco-json values "$b/coco-json" "$json"
bench tp-json values "$b/tp-json" "$json"
bench fpjson-parser values "$b/fpjson-parser" "$json"
bench flex-json tokens "$b/bison-json" --tokens "$json"
bench coco-json-lexer tokens "$b/coco-json" --tokens "$json"
bench tp-json-lexer tokens "$b/tp-json" --tokens "$json"
bench fpjson-scanner tokens "$b/fpjson-scanner" "$json"
bench bytecount-json tokens "$b/bytecount" json "$json"
bench bison-arith sum "$b/bison-arith" "$arith"
bench coco-arith sum "$b/coco-arith" "$arith"
bench tp-arith sum "$b/tp-arith" "$arith"
bench flex-arith tokens "$b/bison-arith" --tokens "$arith"
bench coco-arith-lexer tokens "$b/coco-arith" --tokens "$arith"
bench tp-arith-lexer tokens "$b/tp-arith" --tokens "$arith"
bench bytecount-arith tokens "$b/bytecount" arith "$arith"

# ---- checksums ------------------------------------------------------------------------------
same() {
  local what="$1" first="$2"; shift 2
  for k in "$@"; do
    [[ "${check[$k]}" == "${check[$first]}" ]] ||
      fail "checksums disagree ($what): $first ${check[$first]}, $k ${check[$k]}"
  done
}
opt() { ((optimized)) && printf '%s ' "$@"; return 0; }
# shellcheck disable=SC2046
same "JSON values" kiv-json bison-json coco-json tp-json fpjson-parser $(opt kiv-json-opt)
# shellcheck disable=SC2046
same "JSON tokens" kiv-json-lexer flex-json coco-json-lexer tp-json-lexer fpjson-scanner bytecount-json \
  $(opt kiv-json-lexer-opt)
# shellcheck disable=SC2046
same "arithmetic tokens" kiv-arith-lexer flex-arith coco-arith-lexer tp-arith-lexer bytecount-arith \
  $(opt kiv-arith-lexer-opt)
# shellcheck disable=SC2046
same "arithmetic sum" kiv-arith bison-arith coco-arith tp-arith $(opt kiv-arith-opt)
[[ "${check[kiv-arith]}" == "$arith_expected" ]] ||
  fail "the evaluators' sum ${check[kiv-arith]} is not the generator's $arith_expected"

# ---- table ----------------------------------------------------------------------------------
results="$work/results.md"
plotdata="$work/throughput.dat"
json_mb="$(awk -v n="$(stat -c %s "$json")" 'BEGIN { printf "%.1f", n / 1048576 }')"
arith_mb="$(awk -v n="$(stat -c %s "$arith")" 'BEGIN { printf "%.1f", n / 1048576 }')"
: > "$plotdata"
bar=0
# row KEY LABEL INPUT_MB CHECK_NAME COLOUR : one line of the table and one bar of the plot
row() {
  awk -v l="$2" -v c="$4 ${check[$1]}" -v t="${cpu[$1]}" -v w="${wall[$1]}" -v mb="$3" \
    'BEGIN { printf "| %s | %s | %.3f | %.3f | %.1f |\n", l, c, t, w, mb / t }'
  awk -v l="$2" -v t="${cpu[$1]}" -v mb="$3" -v c="$5" -v y="$bar" \
    'BEGIN { printf "%s\t%.1f\t%d\t%d\n", l, mb / t, c, y }' >> "$plotdata"
  bar=$((bar + 1))
}
gap() { bar=$((bar + 1)); }
kiv_colour=$((0x1f77b4)); kiv_opt_colour=$((0x08306b)); peer_colour=$((0xe6550d)); loop_colour=$((0x7f7f7f))
# kivrow KEY LABEL INPUT_MB CHECK_NAME : the rows of both modes
kivrow() {
  row "$1" "$2, default mode" "$3" "$4" "$kiv_colour"
  if ((optimized)); then row "$1-opt" "$2, optimized mode" "$3" "$4" "$kiv_opt_colour"; fi
}
# ratio LABEL KIV PEER TARGET [TARGET_TEXT] : throughput of KIV over that of the peer (peer time
# over KIV time) for both modes; the target is judged on the optimized mode.
ratio() {
  local opt_cpu=""
  ((optimized)) && opt_cpu="${cpu[$2-opt]}"
  awk -v l="$1" -v k="${cpu[$2]}" -v o="$opt_cpu" -v p="${cpu[$3]}" -v t="$4" -v tt="${5:-}" 'BEGIN {
    r = p / k
    ro = (o == "") ? "" : sprintf("%.2f", p / o)
    if (tt == "") tt = ">= " t
    if (t == "") { target = ""; verdict = "" }
    else {
      target = tt
      if (o == "") verdict = "no optimized mode"
      else verdict = (p / o >= t) ? "met" : "missed"
    }
    printf "| %s | %.2f | %s | %s | %s |\n", l, r, ro, target, verdict }'
}
{
  echo "Inputs: JSON $json_mb MB, arithmetic $arith_mb MB; best of $runs run(s); CPU = user + system seconds."
  ((optimized)) || echo "This kiv has no \`kiv build --optimize\`: only the default mode was measured."
  echo
  echo "| Program | Checksum | CPU s | Wall s | MB/s (CPU) |"
  echo "|---|---|---:|---:|---:|"
  kivrow kiv-json "KIV JSON parser (examples/json)" "$json_mb" values
  row bison-json "bison + flex JSON parser (C, -O2)" "$json_mb" values "$peer_colour"
  row coco-json "Coco/R JSON parser (C++, -O2)" "$json_mb" values "$peer_colour"
  row tp-json "TP Yacc + TP Lex JSON parser (Pascal, -O3)" "$json_mb" values "$peer_colour"
  row fpjson-parser "fpjson TJSONParser" "$json_mb" values "$peer_colour"
  gap
  kivrow kiv-json-lexer "KIV JSON lexer alone" "$json_mb" tokens
  row flex-json "flex JSON scanner alone" "$json_mb" tokens "$peer_colour"
  row coco-json-lexer "Coco/R JSON scanner alone" "$json_mb" tokens "$peer_colour"
  row tp-json-lexer "TP Lex JSON scanner alone" "$json_mb" tokens "$peer_colour"
  row fpjson-scanner "fpjson TJSONScanner" "$json_mb" tokens "$peer_colour"
  row bytecount-json "hand-written byte loop, JSON (Pascal)" "$json_mb" tokens "$loop_colour"
  gap
  kivrow kiv-arith "KIV arithmetic evaluator" "$arith_mb" sum
  row bison-arith "bison + flex arithmetic evaluator (C, -O2)" "$arith_mb" sum "$peer_colour"
  row coco-arith "Coco/R arithmetic evaluator (C++, -O2)" "$arith_mb" sum "$peer_colour"
  row tp-arith "TP Yacc + TP Lex arithmetic evaluator (Pascal, -O3)" "$arith_mb" sum "$peer_colour"
  gap
  kivrow kiv-arith-lexer "KIV arithmetic lexer alone" "$arith_mb" tokens
  row flex-arith "flex arithmetic scanner alone" "$arith_mb" tokens "$peer_colour"
  row coco-arith-lexer "Coco/R arithmetic scanner alone" "$arith_mb" tokens "$peer_colour"
  row tp-arith-lexer "TP Lex arithmetic scanner alone" "$arith_mb" tokens "$peer_colour"
  row bytecount-arith "hand-written byte loop, arithmetic (Pascal)" "$arith_mb" tokens "$loop_colour"
  echo
  echo "| Ratio (KIV throughput / peer throughput) | Default | Optimized | Target | Verdict |"
  echo "|---|---:|---:|---|---|"
  ratio "JSON: KIV parser / bison + flex" kiv-json bison-json 1.3
  ratio "JSON: KIV parser / fpjson TJSONParser" kiv-json fpjson-parser 5
  ratio "JSON: KIV parser / Coco/R" kiv-json coco-json ""
  ratio "JSON: KIV parser / TP Yacc + TP Lex" kiv-json tp-json ""
  ratio "JSON: KIV parser / byte loop (moonshot)" kiv-json bytecount-json 0.6667 ">= 0.67 (within 1.5x)"
  ratio "JSON: KIV lexer / flex scanner" kiv-json-lexer flex-json 1.0
  ratio "JSON: KIV lexer / Coco/R scanner" kiv-json-lexer coco-json-lexer ""
  ratio "JSON: KIV lexer / TP Lex scanner" kiv-json-lexer tp-json-lexer ""
  ratio "JSON: KIV lexer / fpjson TJSONScanner" kiv-json-lexer fpjson-scanner ""
  ratio "JSON: KIV lexer / byte loop" kiv-json-lexer bytecount-json ""
  ratio "Arithmetic: KIV evaluator / bison + flex" kiv-arith bison-arith 1.3
  ratio "Arithmetic: KIV evaluator / TP Yacc + TP Lex" kiv-arith tp-arith 3
  ratio "Arithmetic: KIV evaluator / Coco/R" kiv-arith coco-arith ""
  ratio "Arithmetic: KIV lexer / flex scanner" kiv-arith-lexer flex-arith 1.0
  ratio "Arithmetic: KIV lexer / Coco/R scanner" kiv-arith-lexer coco-arith-lexer ""
  ratio "Arithmetic: KIV lexer / TP Lex scanner" kiv-arith-lexer tp-arith-lexer ""
  ratio "Arithmetic: KIV lexer / byte loop" kiv-arith-lexer bytecount-arith ""
} > "$results"

# ---- the plot -------------------------------------------------------------------------------
step "plot: $plot"
mkdir -p "$(dirname "$plot")"
height=$((140 + 22 * bar))
terminal="pngcairo size 1000,$height font 'sans,10'"
gnuplot -e 'set terminal' 2>&1 | grep pngcairo >/dev/null || terminal="png size 1000,$height"
cat > "$work/throughput.gp" <<EOF
set terminal $terminal
set output '$plot'
set datafile separator "\t"
set title "Throughput (MB per CPU second, best of $runs runs)"
set xlabel "MB/s"
set yrange [$bar:-1]
set ytics nomirror scale 0
set xtics nomirror
set grid xtics
set border 3
set style fill solid 0.85 noborder
set key off
set offsets 0, graph 0.1, 0, 0
plot '$plotdata' using (\$2/2):4:(\$2/2):(0.38):3:yticlabels(1) with boxxyerror lc rgb variable, \\
     '' using 2:4:(sprintf(" %.1f", \$2)) with labels left
EOF
quiet gnuplot "$work/throughput.gp"

# ---- the generator --------------------------------------------------------------------------
# measure_build FLAG... -- GRAMMAR... : best wall and CPU time (into bw, bc) and peak memory (into
# bm, kB) of "kiv build FLAG..." of each grammar in order (a lexer first, so that its vocabulary
# is there for the parser), into $out.
measure_build() {
  local flags=()
  while [[ "$1" != -- ]]; do flags+=("$1"); shift; done
  shift
  local line w u s m g total_w total_c
  bw=""; bc=""; bm=0
  for ((r = 0; r < runs; r++)); do
    total_w=0; total_c=0
    for g in "$@"; do
      line="$("$work/measure" "$work/out.txt" "$kiv" build "${flags[@]}" "$g" -o "$out" -x "$out")" ||
        { cat "$work/out.txt" >&2; fail "kiv build ${flags[*]} $g failed"; }
      grep -q " 0 Error(s)" "$work/out.txt" ||
        { cat "$work/out.txt" >&2; fail "kiv build ${flags[*]} $g reported errors"; }
      read -r w u s m <<< "$line"
      total_w="$(awk -v a="$total_w" -v b="$w" 'BEGIN { print a + b }')"
      total_c="$(awk -v a="$total_c" -v u="$u" -v s="$s" 'BEGIN { print a + u + s }')"
      ((m > bm)) && bm="$m"
    done
    bw="$(awk -v a="$bw" -v b="$total_w" 'BEGIN { print (a == "" || b < a) ? b : a }')"
    bc="$(awk -v a="$bc" -v b="$total_c" 'BEGIN { print (a == "" || b < a) ? b : a }')"
  done
}

# build_time LABEL GRAMMAR... : one row: the number of rules kiv read (its element graph dump),
# the default mode's times and peak memory and, when there is one, the optimized mode's CPU time
# and its ratio to the default's. The CPU times add up in gen_default and gen_optimized.
gen_default=0
gen_optimized=0
build_time() {
  local label="$1"; shift
  out="$work/gen/$(basename "$1" .g)"
  rm -rf "$out"; mkdir -p "$out"
  # Vocabulary files that lie next to the grammar are imported from there.
  cp "$(dirname "$1")"/*Tokens.txt "$out"/ 2> /dev/null || true
  local rules=0 g dw dc dm oc="" ratio=""
  measure_build -- "$@"
  dw="$bw"; dc="$bc"; dm="$bm"
  gen_default="$(awk -v a="$gen_default" -v b="$dc" 'BEGIN { print a + b }')"
  if ((optimized)); then
    measure_build --optimize -- "$@"
    oc="$(awk -v c="$bc" 'BEGIN { printf "%.3f", c }')"
    ratio="$(awk -v o="$bc" -v d="$dc" 'BEGIN { if (d > 0) printf "%.2f", o / d }')"
    gen_optimized="$(awk -v a="$gen_optimized" -v b="$bc" 'BEGIN { print a + b }')"
  fi
  for g in "$@"; do
    rules=$((rules + $("$kiv" build "$g" -o "$out" -x "$out" --dump=graph | grep -c '^rule ')))
  done
  awk -v l="$label" -v n="$rules" -v w="$dw" -v c="$dc" -v m="$dm" -v o="$oc" -v r="$ratio" \
    'BEGIN { printf "| %s | %s | %.3f | %.3f | %.1f | %s | %s |\n", l, n, w, c, m / 1024, o, r }'
}

if ((generator)); then
  step "kiv build on the examples, the Pascal grammar and the synthetic grammars (${modes[*]})"
  syn="$work/synthetic"
  rm -rf "$syn"
  KIV_ANALYZERBENCH_BUILD="$work/analyzerbench" quiet bash "$here/analyzer/run.sh" --write "$syn" 500 1000 2000
  {
    echo
    echo "| kiv build | Rules | Wall s | CPU s | Peak MB | Optimized CPU s | Optimized / default |"
    echo "|---|---:|---:|---:|---:|---:|---:|"
    build_time "examples/json (lexer + parser)" "$root/examples/json/jsonLexer.g" "$root/examples/json/jsonParser.g"
    build_time "benchmarks/arith (lexer + parser)" "$here/arith/arithLexer.g" "$here/arith/arithParser.g"
    build_time "examples/calc (lexer + parser)" "$root/examples/calc/calcLexer.g" "$root/examples/calc/calcParser.g"
    build_time "Object Pascal subset, k = 2 (lexer + parser)" "$here/pascal/pasLexer.g" "$here/pascal/pasParser.g"
    for n in 500 1000 2000; do
      for k in 1 2 3 4 5 6; do
        build_time "synthetic, k = $k" "$syn/bench_${n}_k$k.g"
      done
    done
    echo
    if ((optimized)); then
      awk -v d="$gen_default" -v o="$gen_optimized" 'BEGIN {
        r = o / d
        print "| kiv build, all grammars above | Default CPU s | Optimized CPU s | Optimized / default | Limit | Verdict |"
        print "|---|---:|---:|---:|---|---|"
        printf "| generation time | %.3f | %.3f | %.2f | <= 1.5 | %s |\n", d, o, r, (r <= 1.5) ? "met" : "missed" }'
    else
      echo "This kiv has no \`kiv build --optimize\`: the optimized mode's generation time was not measured."
    fi
  } >> "$results"
fi

cat "$results"
