#!/usr/bin/env bash
# fuzz-smoke.sh - builds the libFuzzer targets of fuzz/ with clang++ in build-fuzz and runs each one
# for a short, bounded time on its seed corpus. Fails on any finding: a crash, an uncaught
# exception, a hang (-timeout), memory beyond -rss_limit_mb, a leak or a sanitizer report.
# The seeds in fuzz/corpus stay as committed; what a run adds goes to a temporary folder.
# KIV_FUZZ_SMOKE_SECONDS sets the time per target (default 20).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${KIV_FUZZ_SMOKE_SECONDS:-20}
build=build-fuzz
targets=(tool vocabulary project)
source scripts/fuzz-common.sh

echo "== fuzz build (clang++, libFuzzer, ASan + UBSan)"
fuzz_build "$(nproc)" "${targets[@]}"

work=$(mktemp -d "${TMPDIR:-/tmp}/kiv-fuzz-smoke-XXXXXX")
trap 'rm -rf "$work"' EXIT

failed=0
for target in "${targets[@]}"; do
  echo "== fuzz $target (${seconds}s)"
  mkdir -p "$work/$target/corpus" "$work/$target/findings"
  log="$work/$target/log"
  if "$build/fuzz/kiv_fuzz_$target" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
       -dict="fuzz/${fuzz_dicts[$target]}" -artifact_prefix="$work/$target/findings/" -print_final_stats=1 \
       "$work/$target/corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|average_exec_per_sec)|DONE' "$log" | tr '\n' ' '
    echo
  else
    failed=1
    echo "fuzz-smoke: kiv_fuzz_$target found a problem:" >&2
    grep -v -E '^#[0-9]+ +(NEW|REDUCE|pulse|INITED)' "$log" | tail -n 60 >&2
    for finding in "$work/$target/findings/"*; do
      [[ -e "$finding" ]] || continue
      mkdir -p "$build/findings/$target"
      cp "$finding" "$build/findings/$target/"
      echo "fuzz-smoke: reproduce with: $build/fuzz/kiv_fuzz_$target $build/findings/$target/$(basename "$finding")" >&2
    done
  fi
done
exit "$failed"
