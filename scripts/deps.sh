#!/usr/bin/env bash
# deps.sh - installs the Debian packages the whole project needs, once.
# Idempotent: when every package is already installed it does nothing and asks no network.
# The peers of the benchmarks (TP Yacc, Coco/R, gnuplot) are installed by benchmarks/deps.sh.
set -euo pipefail

packages=(build-essential cmake ninja-build libgtest-dev qt6-base-dev libqscintilla2-qt6-dev
          libgl-dev fp-compiler fp-units-fcl xvfb python3 bison flex clang libclang-rt-14-dev
          g++-mingw-w64-x86-64 wine64 lcl-utils lazarus-src-2.2)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "deps: installing ${missing[*]}"
  SUDO=""
  [[ $(id -u) -eq 0 ]] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
