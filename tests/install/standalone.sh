#!/usr/bin/env bash
# standalone.sh - proves that an installed KIV works alone: installs the build into a temporary
# prefix, hides the source and build trees (a private mount namespace with empty folders mounted
# over them, where the machine allows it), and then, with the installed files only,
#   1. builds the calculator example with kiv, compiles it with fpc against the runtime that
#      `kiv --print-runtime-dir` names, and runs it on its sample;
#   2. builds a CMake project that uses find_package(kiv) and kiv_add_grammar, and checks that
#      kiv runs again only when a grammar or an imported vocabulary changed;
#   3. does the same with a Makefile that includes kiv's depfiles.
# Usage: standalone.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$(cd "$1" && pwd)
build_dir=$(cd "$2" && pwd)

if [[ -z "${KIV_STANDALONE_WORK:-}" ]]; then
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
  cp "$0" "$work/standalone.sh"
  if [[ $(id -u) -eq 0 ]] && command -v unshare >/dev/null &&
     unshare -m true 2>/dev/null; then
    # Inside a private mount namespace, the trees are replaced by empty folders for this test only.
    unshare -m bash -c '
      mount -t tmpfs tmpfs "$1" && { [[ "$2" == "$1"/* ]] || mount -t tmpfs tmpfs "$2"; } &&
      KIV_STANDALONE_INSIDE=1 KIV_STANDALONE_WORK="$3" bash "$3/standalone.sh" "$1" "$3"' \
      _ "$source_dir" "$build_dir" "$work"
    exit $?
  fi
  echo "standalone: the source tree cannot be hidden here (needs root and mount namespaces); checking without hiding it"
  KIV_STANDALONE_WORK=$work bash "$work/standalone.sh" "$source_dir" "$work"
  exit $?
fi

work=$KIV_STANDALONE_WORK
prefix=$work/prefix
kiv=$prefix/bin/kiv
if [[ "${KIV_STANDALONE_INSIDE:-}" == 1 && -n "$(ls -A "$source_dir")" ]]; then
  echo "standalone: the source tree is still visible"
  exit 1
fi

runtime=$("$kiv" --print-runtime-dir)
[[ "$runtime" == "$prefix/share/kiv/runtime/pascal" ]] ||
  { echo "standalone: kiv --print-runtime-dir names '$runtime', not the installed runtime"; exit 1; }
[[ -f "$prefix/share/man/man1/kiv.1" && -f "$prefix/share/doc/kiv/tutorial.md" ]] ||
  { echo "standalone: the man page or the documentation is not installed"; exit 1; }

echo "== 1. the calculator example with the installed kiv, runtime and example"
cp -r "$prefix/share/kiv/examples/calc" "$work/calc"
(cd "$work/calc" && "$kiv" build -q calc.kvp)
mkdir -p "$work/calc/bin"
fpc -Mdelphi -v0 -Fu"$runtime" -Fu"$work/calc/out" -FU"$work/calc/bin" -FE"$work/calc/bin" "$work/calc/calc.dpr" >/dev/null
"$work/calc/bin/calc" "$work/calc/sample.calc" | diff - "$work/calc/sample.expected"

echo "== 2. a CMake project with find_package(kiv) and kiv_add_grammar"
mkdir -p "$work/cmake-project"
cp "$work/calc/calcLexer.g" "$work/calc/calcParser.g" "$work/cmake-project/"
cat >"$work/cmake-project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.20)
project(calcdemo NONE)
find_package(kiv 0.1 REQUIRED)
kiv_add_grammar(calc_lexer calcLexer.g OUTPUT_DIR units)
kiv_add_grammar(calc_parser calcParser.g OUTPUT_DIR units DEPENDS calc_lexer)
file(WRITE ${CMAKE_BINARY_DIR}/runtime.txt "${KIV_RUNTIME_DIR}")
CMAKE
cmake -S "$work/cmake-project" -B "$work/cmake-build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$work/cmake-build" >/dev/null
for f in calcLexer.pas CalcTokens.pas CalcTokens.txt calcParser.pas calcParserTokens.pas; do
  [[ -f "$work/cmake-build/units/$f" ]] || { echo "standalone: kiv_add_grammar did not write $f"; exit 1; }
done
[[ "$(cat "$work/cmake-build/runtime.txt")" == "$runtime" ]] || { echo "standalone: KIV_RUNTIME_DIR is wrong"; exit 1; }
# Nothing changed: nothing runs.
# (Output is captured before it is searched: with pipefail, a grep -q that stops reading at its
# match can kill the writer with SIGPIPE and fail a pipeline that found what it looked for.)
out=$(cmake --build "$work/cmake-build")
grep -q "no work to do" <<<"$out" || { echo "standalone: a second build ran kiv again:"; echo "$out"; exit 1; }
# A changed parser grammar builds the parser only; a changed lexer grammar rewrites the vocabulary
# the parser imports, so both run.
sleep 1
touch "$work/cmake-project/calcParser.g"
out=$(cmake --build "$work/cmake-build" -- -v)
grep -q "calcParser.g" <<<"$out" && ! grep -q "build .*calcLexer.g" <<<"$out" ||
  { echo "standalone: after a parser change the build ran:"; echo "$out"; exit 1; }
sleep 1
touch "$work/cmake-project/calcLexer.g"
out=$(cmake --build "$work/cmake-build" -- -v)
grep -q "build .*calcLexer.g" <<<"$out" && grep -q "build .*calcParser.g" <<<"$out" ||
  { echo "standalone: after a lexer change the build ran:"; echo "$out"; exit 1; }

echo "== 3. a Makefile that includes the depfiles"
mkdir -p "$work/make-project"
cp "$work/calc/calcLexer.g" "$work/calc/calcParser.g" "$work/make-project/"
cat >"$work/make-project/Makefile" <<MAKE
KIV = $kiv
all: out/calcLexer.pas out/calcParser.pas
out/calcLexer.pas: calcLexer.g
	\$(KIV) build -q calcLexer.g -o out -x out --depfile=out/calcLexer.d
out/calcParser.pas: calcParser.g out/calcLexer.pas
	\$(KIV) build -q calcParser.g -o out -x out --depfile=out/calcParser.d
-include out/calcLexer.d out/calcParser.d
MAKE
make -s -C "$work/make-project" >/dev/null
out=$(make -C "$work/make-project")
grep -q "Nothing to be done" <<<"$out" || { echo "standalone: make ran kiv again:"; echo "$out"; exit 1; }
sleep 1
touch "$work/make-project/out/CalcTokens.txt"
out=$(make -C "$work/make-project")
grep -q "calcParser.g" <<<"$out" && ! grep -q "build -q calcLexer.g" <<<"$out" ||
  { echo "standalone: a changed vocabulary did not rebuild the parser alone:"; echo "$out"; exit 1; }

echo "standalone: OK (installed tree used alone${KIV_STANDALONE_INSIDE:+, source and build trees hidden})"
