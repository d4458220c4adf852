#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz preset: clang, ASan + UBSan) and runs
# each for SECONDS (default 60), two at a time, each on a copy of its seed
# corpus so that the committed corpus never grows. Prints every target's
# executions per second and totals. Exits non-zero on any crash, sanitizer
# report, leak, input slower than 1 s, or a fuzzer that did not finish.
#
#   tools/fuzz.sh [SECONDS [TARGET...]]
#
# Names of targets (as in build-fuzz/fuzz-targets.txt) restrict the run to
# them.
# FUZZ_JOBS (default 2) targets run at once; FUZZ_NICE (default 0) is their
# nice level; FUZZ_OUT (default build-fuzz/runs/<time>) keeps each target's
# log, grown corpus and any crashing input.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
  echo "usage: tools/fuzz.sh [SECONDS [TARGET...]]  (a whole number of seconds, at least 1)" >&2
  exit 2
fi
shift $(($# > 0 ? 1 : 0))
only=("$@")
jobs=${FUZZ_JOBS:-2}
niceness=${FUZZ_NICE:-0}

tools/deps.sh clang-14 libclang-rt-14-dev libomp-14-dev
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

out=${FUZZ_OUT:-build-fuzz/runs/$(date -u +%Y%m%dT%H%M%S)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
list=$out/targets.txt
if [ ${#only[@]} -eq 0 ]; then
  cp build-fuzz/fuzz-targets.txt "$list"
else
  : >"$list"
  for name in "${only[@]}"; do
    if ! grep "^$name " build-fuzz/fuzz-targets.txt >>"$list"; then
      echo "fuzz: no target $name; built: $(cut -d' ' -f1 build-fuzz/fuzz-targets.txt | tr '\n' ' ')" >&2
      exit 2
    fi
  done
fi
if ! [ -s "$list" ]; then
  echo "fuzz: no targets listed in build-fuzz/fuzz-targets.txt" >&2
  exit 1
fi

# Leaks are checked after every input; UBSan findings are fatal (the preset
# builds with -fno-sanitize-recover=all) and print their stack.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:allocator_may_return_null=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Whether an input that timed out runs within the limit on each of three
# replays on its own, at normal priority: if so, the fuzzer was starved of
# the processor (the machine is shared), and the input is not slow.
replays_in_time() {
  local name=$1 input=$2
  for _ in 1 2 3; do
    timeout 60 "build-fuzz/bin/$name" -timeout=1 -close_fd_mask=3 "$input" \
      </dev/null >/dev/null 2>&1 || return 1
  done
}

# One target: fuzz for the given time on a copy of its corpus. Attempt k
# logs to log.k, the last one also to log; the exit status lands in status.
# A run that outlives its time by two minutes is stopped and counts as
# failed. A timeout that does not recur on replay is set aside in stalls/
# and the target goes on, on its grown corpus, for the rest of its time (at
# least 5 s; at most three times, a fourth fails); every other finding ends
# it.
run_target() {
  local name=$1 corpus=$2 dict=$3 max_len=$4
  local dir=$out/$name
  mkdir -p "$dir/corpus" "$dir/artifacts"
  if [ -d "fuzz/corpus/$corpus" ]; then cp -R "fuzz/corpus/$corpus/." "$dir/corpus/"; fi
  # Full-length inputs from the start (-len_control=0): the engine targets
  # run tens of inputs a second, too few for libFuzzer's slow length ramp to
  # reach a whole POSITION line within a minute.
  local args=(-timeout=1 -rss_limit_mb=2048 -max_len="$max_len" -len_control=0 -close_fd_mask=3
    -print_final_stats=1 -artifact_prefix="$dir/artifacts/")
  [ "$dict" = "-" ] || args+=(-dict="fuzz/dict/$dict")
  local left=$seconds attempt=0 status started stalled
  while :; do
    attempt=$((attempt + 1))
    started=$(date +%s)
    status=0
    timeout -k 10 $((left + 120)) nice -n "$niceness" "build-fuzz/bin/$name" "${args[@]}" \
      -max_total_time="$left" "$dir/corpus" </dev/null >"$dir/log.$attempt" 2>&1 || status=$?
    cp "$dir/log.$attempt" "$dir/log"
    [ "$status" -ne 0 ] || break
    stalled=$(ls -t "$dir/artifacts"/timeout-* 2>/dev/null | head -n 1 || true)
    if [ "$attempt" -le 3 ] && [ -n "$stalled" ] && grep -q 'ERROR: libFuzzer: timeout' "$dir/log" &&
      replays_in_time "$name" "$stalled"; then
      mkdir -p "$dir/stalls"
      mv "$stalled" "$dir/stalls/"
      # The rest of the time, at least a few seconds, so that the last
      # attempt is a whole one and its log tells the result.
      left=$((left - ($(date +%s) - started)))
      [ "$left" -ge 5 ] || left=5
      continue
    fi
    break
  done
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

# Figures from libFuzzer's final statistics of the last attempt; a log
# without them means the fuzzer never got to its end.
stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }
# A figure over every attempt of a target: sum or max.
over_attempts() {
  cat "$out/$1"/log.* | sed -n "s/^stat::$2: *//p" |
    awk -v how="$3" '{ if (how == "sum") r += $1; else if ($1 > r) r = $1 } END { print r + 0 }'
}

# A target failed when it exited non-zero, never printed its statistics, or
# its log holds a sanitizer's, libFuzzer's or a target's own report.
target_failed() {
  local dir=$out/$1
  [ "$(cat "$dir/status" 2>/dev/null)" != 0 ] || [ -z "$(stat number_of_executed_units "$dir/log")" ] ||
    grep -qE '^==[0-9]+==ERROR|ERROR: libFuzzer|runtime error:|contract broken' "$dir/log"
}

failed=0
total_runs=0
printf '\n%-22s %14s %8s %6s %6s %9s %6s %6s  %s\n' target executions exec/s cov new slowest_s rss_mb stalls \
  result
while read -r name _; do
  [ -n "$name" ] || continue
  dir=$out/$name
  log=$dir/log
  status=$(cat "$dir/status" 2>/dev/null || echo missing)
  runs=$(over_attempts "$name" number_of_executed_units sum)
  rate=$((runs / seconds))
  added=$(over_attempts "$name" new_units_added sum)
  rss=$(over_attempts "$name" peak_rss_mb max)
  slowest=$(over_attempts "$name" slowest_unit_time_sec max)
  stalls=0
  if [ -d "$dir/stalls" ]; then stalls=$(find "$dir/stalls" -type f | wc -l); fi
  cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2 || true)
  result=ok
  if target_failed "$name"; then
    result="FAILED (exit $status)"
    failed=1
  fi
  printf '%-22s %14s %8s %6s %6s %9s %6s %6s  %s\n' "$name" "$runs" "$rate" "${cov:--}" "$added" \
    "$slowest" "$rss" "$stalls" "$result"
  total_runs=$((total_runs + ${runs:-0}))
done <"$list"
echo "total executions: $total_runs in ${seconds} s per target; logs in $out"
echo "(stalls: inputs that timed out but ran in time on three replays, set aside in TARGET/stalls)"

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
