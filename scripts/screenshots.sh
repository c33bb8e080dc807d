#!/usr/bin/env bash
# screenshots.sh - shows the workbench as a user sees it: starts it under Xvfb on a copy of the
# calculator example, runs "Build all" (F9), and saves the main window and both wizard dialogs to
# docs/screenshots/. Usage: bash scripts/screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [[ "${1:-}" != "--inside-xvfb" ]]; then
  scripts/deps.sh
  # Driving and capturing windows needs xdotool and ImageMagick's import.
  missing=()
  for p in xdotool imagemagick; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
  done
  if ((${#missing[@]})); then
    SUDO=""
    [[ $(id -u) -eq 0 ]] || SUDO="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
  build=${1:-build}
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$build" --target kiv-workbench -j "$(nproc)"
  exec xvfb-run -a -s "-screen 0 1280x900x24" bash "$0" --inside-xvfb "$(cd "$build" && pwd)"
fi

# From here on the script runs inside the virtual display.
program="$2/workbench/kiv-workbench"
shots="$root/docs/screenshots"
mkdir -p "$shots"
work=$(mktemp -d)
workbench_pid=""
cleanup() {
  [[ -n "$workbench_pid" ]] && kill "$workbench_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Settings, generated units and the example copy all stay in the scratch folder.
export XDG_CONFIG_HOME="$work/config"
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
cp -r examples/calc "$work/calc"
mkdir -p "$work/calc/out"

# Waits up to 20 seconds for a window whose name matches $1 and prints its id.
wait_for_window() {
  local id=""
  for _ in $(seq 1 200); do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    [[ -n "$id" ]] && { echo "$id"; return 0; }
    sleep 0.1
  done
  echo "screenshots: no window named '$1' appeared" >&2
  return 1
}

# Waits up to 30 seconds for file $1.
wait_for_file() {
  for _ in $(seq 1 300); do
    [[ -e "$1" ]] && return 0
    sleep 0.1
  done
  echo "screenshots: $1 was not written" >&2
  return 1
}

capture() {
  sleep 0.5  # let the last repaint reach the screen
  import -window "$1" "$shots/$2"
  echo "screenshots: wrote docs/screenshots/$2"
}

start_workbench() {
  "$program" "$@" &
  workbench_pid=$!
}

stop_workbench() {
  kill "$workbench_pid" 2>/dev/null || true
  wait "$workbench_pid" 2>/dev/null || true
  workbench_pid=""
}

# 1. The main window on the example project after "Build all", with the parser grammar open.
start_workbench "$work/calc/calc.kvp"
main=$(wait_for_window '^Kiv Parser Generator - calc$')
xdotool windowsize "$main" 1100 760 windowmove "$main" 0 0
sleep 0.5
xdotool windowfocus --sync "$main"
xdotool key --clearmodifiers F9
wait_for_file "$work/calc/out/calcParser.pas"
# Open calcParser from the project tree: select it with the keyboard and press Enter.
xdotool mousemove --window "$main" 60 112 click 1
xdotool key --clearmodifiers End Return
capture "$main" main-window.png
stop_workbench

# 2. The two grammar wizards, which a new project runs when the settings ask for them.
mkdir -p "$XDG_CONFIG_HOME/Orvanth"
cat > "$XDG_CONFIG_HOME/Orvanth/KIV.conf" <<'EOF'
[Options]
WizardProject=true
LexerWizard=true
ParserWizard=true
EOF
start_workbench
lexer=$(wait_for_window '^KIV Lexer Wizard$')
xdotool windowfocus --sync "$lexer"
xdotool type --delay 20 calcLexer
capture "$lexer" lexer-wizard.png
xdotool key --clearmodifiers Escape
parser=$(wait_for_window '^KIV Parser Wizard$')
xdotool windowfocus --sync "$parser"
xdotool type --delay 20 calcParser
capture "$parser" parser-wizard.png
xdotool key --clearmodifiers Escape
stop_workbench
