#!/usr/bin/env bash
# benchmarks/deps.sh - installs the Debian packages only the benchmarks need, once: TP Yacc and
# TP Lex (fp-utils; their units LexLib and YaccLib are in fp-units-base), Coco/R for C++
# (coco-cpp) and gnuplot for the throughput plot. The test command does not need them, so
# scripts/deps.sh leaves them out. benchmarks/run.sh calls this.
# Idempotent: when every package is already installed it does nothing and asks no network.
set -euo pipefail

packages=(fp-utils fp-units-base coco-cpp gnuplot-nox)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "benchmark deps: installing ${missing[*]}" >&2
  SUDO=""
  [[ $(id -u) -eq 0 ]] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
