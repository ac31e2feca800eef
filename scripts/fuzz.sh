#!/usr/bin/env bash
# Sets up, builds and runs every fuzz target under fuzz/ for the given number
# of seconds each (default 60), with AddressSanitizer and
# UndefinedBehaviorSanitizer. Fails if any target finds a crash, a leak, a
# timeout or runs out of memory; the input that did it is saved in
# build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
build=build/fuzz

bash scripts/setup.sh clang-14 libclang-rt-14-dev

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

mkdir -p "$build/artifacts"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

failed=0
summaries=()
for source in fuzz/*_fuzzer.cpp; do
  target="$(basename "$source" .cpp)"
  # New inputs go to the first corpus folder only: the committed seeds stay
  # as they are, and what a run learns is kept for the next run here.
  work="$build/corpus/$target"
  log="$build/$target.log"
  mkdir -p "$work"
  echo "=== $target: $seconds s ==="
  status=0
  "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 \
    "$work" "fuzz/corpus/$target" >"$log" 2>&1 || status=$?

  done_line="$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" | tail -n 1 || true)"
  runs="$(sed -n 's/^stat::number_of_executed_units: //p' "$log")"
  rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")"
  cov="$(sed -n 's/.* cov: \([0-9]*\) ft: \([0-9]*\) corp: \([^ ]*\).*/cov \1, ft \2, corpus \3/p' <<<"$done_line")"
  if [ "$status" -eq 0 ]; then
    summaries+=("$target: ok, ${runs:-?} runs, ${rate:-?} exec/s, ${cov:-no coverage line}")
  else
    failed=1
    summaries+=("$target: FAILED (exit $status), see $log and $build/artifacts/")
    # The first lines of the report, then the input and where it was saved.
    grep -m 1 -B 1 -A 12 -E 'runtime error|ERROR' "$log" || true
    echo "    ..."
    grep -E '^(0x|Base64:|artifact_prefix)' "$log" || true
  fi
done

echo "=== fuzzing summary ==="
printf '%s\n' "${summaries[@]}"
exit "$failed"
