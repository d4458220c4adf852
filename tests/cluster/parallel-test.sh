#!/usr/bin/env bash
# A tournament spread over four local processes with the GNU parallel line
# of tournament/README.md: the merged shards give the tables of one run, and
# with an SPRT all shards stop together on the test over all of them.
#   tests/cluster/parallel-test.sh [BUILD]   (default: $CURLING_BUILD or build)
# Exit 77 (skipped) without GNU parallel.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
BUILD=$(cd "${1:-${CURLING_BUILD:-$here/../../build}}" && pwd)
command -v parallel > /dev/null || { echo "GNU parallel is not installed: skipped"; exit 77; }
WORK=$(mktemp -d "${TMPDIR:-/tmp}/parallel-test.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
source "$here/lib.sh"
cluster_init

# The README's line, without the parts for other hosts; the runner is
# quoted for the shell parallel starts.
spread() {
  local folder=$1 M=$2
  shift 2
  local run
  run=$(printf ' %q' "$@")
  parallel --will-cite -j "$M" \
    "cd $(printf %q "$folder") && mkdir -p out && $(printf %q "$MATCH") $run --shard {}/$M --results out/shard-{shard}.jsonl > out/shard-{}.log" \
    ::: $(seq 1 "$M") || fail "a shard failed: $(tail -n 3 "$folder"/out/*.log)"
}

mkdir -p "$WORK/equal" "$WORK/sprt"
spread "$WORK/equal" 4 "${EQUAL_RUN[@]}"
check_equal_to_single_run "$WORK/equal/out"
spread "$WORK/sprt" "$SPRT_SHARDS" "${SPRT_RUN[@]}"
check_shared_sprt "$WORK/sprt/out"
echo "PASS"
