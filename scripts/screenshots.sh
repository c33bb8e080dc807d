#!/usr/bin/env bash
# screenshots.sh - shows the workbench as a user sees it: starts it under Xvfb on copies of the
# calculator example and saves to docs/screenshots/ the main window after "Build all" (F9), a build
# with errors and the first one opened (F6), a project with a missing grammar file, a syntax error
# marked by the check while typing, a nondeterminism report opened at its line and explained
# (Ctrl+E), the project options dialog, both wizard dialogs, and the Test panel running the parser
# on a wrong sample.
# Usage: bash scripts/screenshots.sh [BUILD_DIR]
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
  # A display number of its own, so that another xvfb-run starting at the same time does not take it.
  exec xvfb-run -a -n $((100 + $$ % 800)) -s "-screen 0 1280x900x24" bash "$0" --inside-xvfb "$(cd "$build" && pwd)"
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

# Saves what the screen shows where window $1 is (its tool tips and pop-ups included, which a
# capture of the window alone would leave black) as docs/screenshots/$2.
capture() {
  sleep 0.5  # let the last repaint reach the screen
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shots/$2"
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

# Moves the pointer off the widgets, so that no hover tint or tool tip shows unless asked for.
settle() {
  xdotool mousemove --window "$1" 1090 5
  sleep 0.8
}

# Puts the main window $1 at the top left, 1100 x 760, and focuses it.
place_window() {
  xdotool windowsize "$1" 1100 760 windowmove "$1" 0 0
  sleep 0.5
  xdotool windowfocus --sync "$1"
}

# Opens the project $1 (in this shell, so that the program is not tied to a command substitution)
# and sets `main` to its window.
open_project() {
  start_workbench "$1"
  main=$(wait_for_window '^Kiv Parser Generator - calc$')
  place_window "$main"
}

# 1. The main window on the example project after "Build all", with the parser grammar open.
open_project "$work/calc/calc.kvp"
xdotool key --clearmodifiers F9
wait_for_file "$work/calc/out/calcParser.pas"
# Open calcParser from the project tree: select it with the keyboard and press Enter.
xdotool mousemove --window "$main" 60 112 click 1
xdotool key --clearmodifiers End Return
settle "$main"
capture "$main" main-window.png
stop_workbench

# 2. A build with errors: two undefined tokens in the parser; F6 opens the first one, its line
# tinted.
cp -r examples/calc "$work/errors"
mkdir -p "$work/errors/out"
sed -i -e 's/ASSIGN v=expr SEMI$/ASSIGN v=expr SEMICOLON/' -e 's/| PERCENT r=factor\[1\]/| MODULO r=factor[1]/' \
  "$work/errors/calcParser.g"
open_project "$work/errors/calc.kvp"
xdotool key --clearmodifiers F9
wait_for_file "$work/errors/out/calcLexer.pas"
sleep 1
xdotool key --clearmodifiers F6
settle "$main"
capture "$main" messages-errors.png
stop_workbench

# 3. A project that lists a grammar file that is not there: greyed in the tree with its tool tip,
# and its build error in the message list.
cp -r examples/calc "$work/missing"
mkdir -p "$work/missing/out"
sed -i 's|^End|   Grammar   = "calcTypes.g"\r\nEnd|' "$work/missing/calc.kvp"
start_workbench "$work/missing/calc.kvp"
# Opening says once that the file is missing.
note=$(wait_for_window '^calc$')
xdotool windowfocus --sync "$note"
xdotool key --clearmodifiers Return
main=$(wait_for_window '^Kiv Parser Generator - calc$')
place_window "$main"
xdotool key --clearmodifiers F9
wait_for_file "$work/missing/out/calcParser.pas"
sleep 1
# The pointer rests on the missing grammar, the tree's last node.
xdotool mousemove --window "$main" "${MISSING_NODE_X:-70}" "${MISSING_NODE_Y:-166}"
sleep 2
capture "$main" missing-grammar.png
stop_workbench

# 4. The check while typing: a stray ")" typed into the lexer is marked in the margin; the pointer
# on the mark shows the message.
cp -r examples/calc "$work/check"
open_project "$work/check/calc.kvp"
# Open calcLexer from the tree, go to line 25 and type the error at its end.
xdotool mousemove --window "$main" 60 112 click 1
xdotool key --clearmodifiers End Up Return
sleep 0.5
xdotool key --clearmodifiers alt+g
goto=$(wait_for_window '^Goto line number$')
xdotool windowfocus --sync "$goto"
xdotool key --clearmodifiers ctrl+a
xdotool type --delay 20 25
xdotool key --clearmodifiers Return
sleep 0.5
xdotool key --clearmodifiers End
xdotool type --delay 80 ' )'
sleep 2
# Tool tips show only in the active window, which the closed dialog left to no one.
xdotool windowfocus --sync "$main"
xdotool mousemove --window "$main" "${CHECK_MARK_X:-240}" "${CHECK_MARK_Y:-475}"
sleep 2
capture "$main" background-check.png
stop_workbench

# 5. A nondeterminism report: the lexer's greedy option taken away, "Build all", and F6 opens the
# report at its line; its tool tip shows the lookahead lines.
cp -r examples/calc "$work/conflict"
mkdir -p "$work/conflict/out"
sed -i 's/( options { greedy = true; } : /( /' "$work/conflict/calcLexer.g"
grep -qF "'\\r' ( '\\n' )?" "$work/conflict/calcLexer.g" || { echo "screenshots: the conflict was not made" >&2; exit 1; }
open_project "$work/conflict/calc.kvp"
xdotool key --clearmodifiers F9
wait_for_file "$work/conflict/out/calcParser.pas"
sleep 1
xdotool key --clearmodifiers F6
# The pointer on the report shows its lookahead lines.
xdotool mousemove --window "$main" "${REPORT_X:-420}" "${REPORT_Y:-647}"
sleep 2
capture "$main" messages-nondeterminism.png
# Ctrl+E explains the report: the Explanation panel beside the list, both branches marked.
settle "$main"
xdotool key --clearmodifiers ctrl+e
sleep 3
capture "$main" explain-view.png
stop_workbench

# 6. The project options dialog (Alt+O) over the example project.
open_project "$work/calc/calc.kvp"
xdotool key --clearmodifiers alt+o
options=$(wait_for_window '^Project options$')
xdotool windowfocus --sync "$options"
sleep 0.5
capture "$options" project-options.png
xdotool key --clearmodifiers Escape
stop_workbench

# 7. The two grammar wizards, which a new project runs when the settings ask for them.
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

# 8. The Test panel (F12) running the parser on a sample typed into it: the error marked in the
# sample, the parse tree as far as it got, a node clicked to select its span in the sample and its
# rule in the grammar.
cp -r examples/calc "$work/testpanel"
mkdir -p "$work/testpanel/out"
open_project "$work/testpanel/calc.kvp"
# Built once, so that the check while typing finds the lexer's vocabulary too.
xdotool key --clearmodifiers F9
wait_for_file "$work/testpanel/out/calcParser.pas"
sleep 1
xdotool mousemove --window "$main" 60 112 click 1
xdotool key --clearmodifiers End Return
sleep 0.5
xdotool key --clearmodifiers F12
sleep 1
xdotool type --delay 30 'width = 12;'
xdotool key --clearmodifiers Return
xdotool type --delay 30 'area = width * (width + ;'
sleep 2
# A node of the tree: the pointer clicks the second statement's row.
xdotool mousemove --window "$main" "${TREE_NODE_X:-850}" "${TREE_NODE_Y:-703}" click 1
settle "$main"
capture "$main" test-panel.png
stop_workbench
