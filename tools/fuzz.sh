#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset: clang, ASan + UBSan) and runs
# each for SECONDS (default 60), two at a time, each on a copy of its seed
# corpus so that the committed corpus never grows. Prints every target's
# executions per second and totals. Exits non-zero on any crash, sanitizer
# report, leak, input slower than 1 s, or a fuzzer that did not finish.
#
#   tools/fuzz.sh [SECONDS]
#
# FUZZ_JOBS (default 2) targets run at once; FUZZ_NICE (default 0) is their
# nice level; FUZZ_OUT (default build-fuzz/runs/<time>) keeps each target's
# log, grown corpus and any crashing input.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: tools/fuzz.sh [SECONDS]  (a whole number of seconds, at least 1)" >&2
  exit 2
fi
jobs=${FUZZ_JOBS:-2}
niceness=${FUZZ_NICE:-0}

tools/deps.sh clang-14 libclang-rt-14-dev libomp-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

out=${FUZZ_OUT:-build-fuzz/runs/$(date -u +%Y%m%dT%H%M%S)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
list=build-fuzz/fuzz-targets.txt
if ! [ -s "$list" ]; then
  echo "fuzz: no targets listed in $list" >&2
  exit 1
fi

# Leaks are checked after every input; UBSan findings are fatal (the preset
# builds with -fno-sanitize-recover=all) and print their stack.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# One target: fuzz for the given time on a copy of its corpus. Its exit
# status lands in status; a run that outlives its time by two minutes is
# stopped and counts as failed.
run_target() {
  local name=$1 corpus=$2 dict=$3 max_len=$4
  local dir=$out/$name
  mkdir -p "$dir/corpus" "$dir/artifacts"
  if [ -d "fuzz/corpus/$corpus" ]; then cp -R "fuzz/corpus/$corpus/." "$dir/corpus/"; fi
  local args=(-max_total_time="$seconds" -timeout=1 -rss_limit_mb=2048 -max_len="$max_len"
    -close_fd_mask=3 -print_final_stats=1 -artifact_prefix="$dir/artifacts/")
  [ "$dict" = "-" ] || args+=(-dict="fuzz/dict/$dict")
  local status=0
  timeout -k 10 $((seconds + 120)) nice -n "$niceness" \
    "build-fuzz/bin/$name" "${args[@]}" "$dir/corpus" </dev/null >"$dir/log" 2>&1 || status=$?
  echo "$status" >"$dir/status"
}

running=0
while read -r name corpus dict max_len; do
  [ -n "$name" ] || continue
  if [ "$running" -ge "$jobs" ]; then
    wait -n || true
    running=$((running - 1))
  fi
  echo "fuzzing $name for ${seconds} s"
  run_target "$name" "$corpus" "$dict" "$max_len" &
  running=$((running + 1))
done <"$list"
wait || true

# Figures from libFuzzer's final statistics; a log without them means the
# fuzzer never got to its end.
stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }

# A target failed when it exited non-zero, never printed its statistics, or
# its log holds a sanitizer's, libFuzzer's or a target's own report.
target_failed() {
  local dir=$out/$1
  [ "$(cat "$dir/status" 2>/dev/null)" != 0 ] || [ -z "$(stat number_of_executed_units "$dir/log")" ] ||
    grep -qE '^==[0-9]+==ERROR|ERROR: libFuzzer|runtime error:|contract broken' "$dir/log"
}

failed=0
total_runs=0
printf '\n%-22s %14s %10s %8s %8s %9s %8s  %s\n' target executions exec/s cov new slowest_s rss_mb result
while read -r name _; do
  [ -n "$name" ] || continue
  dir=$out/$name
  log=$dir/log
  status=$(cat "$dir/status" 2>/dev/null || echo missing)
  runs=$(stat number_of_executed_units "$log")
  rate=$(stat average_exec_per_sec "$log")
  added=$(stat new_units_added "$log")
  rss=$(stat peak_rss_mb "$log")
  slowest=$(stat slowest_unit_time_sec "$log")
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2 || true)
  result=ok
  if target_failed "$name"; then
    result="FAILED (exit $status)"
    failed=1
  fi
  printf '%-22s %14s %10s %8s %8s %9s %8s  %s\n' "$name" "${runs:--}" "${rate:--}" "${cov:--}" \
    "${added:--}" "${slowest:--}" "${rss:--}" "$result"
  total_runs=$((total_runs + ${runs:-0}))
done <"$list"
echo "total executions: $total_runs in ${seconds} s per target; logs in $out"

if [ "$failed" -ne 0 ]; then
  echo "fuzz: FAILED. Each failing target's log (tail):" >&2
  while read -r name _; do
    [ -n "$name" ] || continue
    target_failed "$name" || continue
    echo "--- $name: $out/$name/log" >&2
    tail -n 40 "$out/$name/log" >&2
    for a in "$out/$name/artifacts"/*; do
      [ -e "$a" ] && echo "reproduce: build-fuzz/bin/$name $a" >&2
    done
  done <"$list"
  exit 1
fi
