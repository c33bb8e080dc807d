#!/usr/bin/env bash
# fuzz-campaign.sh - long fuzzing campaigns over the libFuzzer targets of fuzz/.
#   scripts/fuzz-campaign.sh SECONDS [JOBS] [TARGET...]
# TARGET is tool, vocabulary or project (default: all three, one after the other, SECONDS each).
# Each target keeps its growing corpus in build-fuzz/corpus/TARGET (seeded from fuzz/corpus/TARGET),
# saves crashing, hanging or leaking inputs in build-fuzz/findings/TARGET/ and its logs in
# build-fuzz/logs/TARGET/. JOBS parallel processes run at nice 10 (default 1).
# Reproduce a finding with: build-fuzz/fuzz/kiv_fuzz_TARGET build-fuzz/findings/TARGET/FILE
# An input counts as a hang after KIV_FUZZ_TIMEOUT seconds (default 30): some legitimate inputs
# (a block of a hundred conflicting alternatives, a lexer with a deep k) take 3 to 4 seconds under
# the sanitizers and over 10 when the machine is busy, which is slow, not hung.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if (($# < 1)) || ! [[ $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS [JOBS] [tool|vocabulary|project ...]" >&2
  exit 2
fi
seconds=$1
timeout=${KIV_FUZZ_TIMEOUT:-30}
jobs=${2:-1}
shift $(($# >= 2 ? 2 : 1))
targets=("$@")
((${#targets[@]})) || targets=(tool vocabulary project)
source scripts/fuzz-common.sh
for target in "${targets[@]}"; do
  [[ -n "${fuzz_dicts[$target]:-}" ]] || { echo "unknown target: $target" >&2; exit 2; }
done

build="$root/build-fuzz"
fuzz_build "$jobs" "${targets[@]}"

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  findings="$build/findings/$target"
  logs="$build/logs/$target"
  mkdir -p "$corpus" "$findings" "$logs"
  echo "== campaign $target: ${seconds}s, $jobs job(s); corpus $corpus"
  # libFuzzer writes one fuzz-N.log per job into the current folder.
  (cd "$logs" && nice -n 10 "$build/fuzz/kiv_fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
       -timeout="$timeout" -jobs="$jobs" -workers="$jobs" -dict="$root/fuzz/${fuzz_dicts[$target]}" \
       -artifact_prefix="$findings/" -print_final_stats=1 "$corpus" "$root/fuzz/corpus/$target" \
       >"$logs/campaign.log" 2>&1) || status=1
  for log in "$logs"/fuzz-*.log "$logs/campaign.log"; do
    [[ -e "$log" ]] || continue
    grep -E '^stat::|DONE|ERROR|Test unit written' "$log" | sed "s|^|$(basename "$log"): |" || true
  done
  # libFuzzer also keeps inputs slower than 10 s as slow-unit-*: worth a look, not a failure.
  if compgen -G "$findings/slow-unit-*" >/dev/null; then
    echo "slow inputs of $target (not failures):" && ls -l "$findings"/slow-unit-*
  fi
  if find "$findings" -maxdepth 1 -type f ! -name 'slow-unit-*' | grep . >/dev/null; then
    echo "findings of $target:" && find "$findings" -maxdepth 1 -type f ! -name 'slow-unit-*' -exec ls -l {} +
    status=1
  fi
done
exit "$status"
