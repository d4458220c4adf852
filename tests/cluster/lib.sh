# Shared by the tests that spread a tournament over processes (GNU parallel)
# or over a Slurm cluster: the two runs they spread and the checks of their
# results. Sourced; the caller sets BUILD (the build folder) and WORK (an
# empty folder it removes).

# The runner with the real physics library; fake engines, which answer
# planned shots at once, keep a game to a few tens of milliseconds.
cluster_init() {
  MATCH=$BUILD/bin/curling-match
  FAKE=$BUILD/bin/fake_engine
  for program in "$MATCH" "$FAKE"; do
    if [ ! -x "$program" ]; then
      echo "$program not found: give the build folder (built with curling-match and fake_engine)" >&2
      exit 2
    fi
  done
  SPRT_SHARDS=4
  # Execution error makes the games differ, the seed fixes them: the shards
  # and the single run must agree game for game.
  EQUAL_RUN=(--seed 2026 --games 24 --ends 2 --noise 0.3 --pause-ms 0
    --engine name=a "cmd=$FAKE" arg=--plan arg=0.084,-2.1
    --engine name=b "cmd=$FAKE" arg=--plan arg=0.06,-2.15)
  # Draws to the button against stones that stop short: every pair is won
  # twice. The LLR grows by about 0.057 a pair, so the bound of 2.944 is
  # crossed after about 52 pairs over all shards, while each shard's own
  # quarter stays near 0.75. A short pause per stone makes the shards run at
  # one pace, whatever else the cores do.
  SPRT_RUN=(--seed 5 --games 1000 --ends 1 --noise 0 --pause-ms 0
    --sprt elo0=0 elo1=20 alpha=0.05 beta=0.05
    --engine name=win "cmd=$FAKE" arg=--plan arg=0.084,-2.1 arg=--delay-ms arg=10
    --engine name=lose "cmd=$FAKE" arg=--plan arg=0,-0.5 arg=--delay-ms arg=10)
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The merged shards' tables must be those of the same run on one machine.
check_equal_to_single_run() {
  local folder=$1
  "$MATCH" merge "$folder"/shard-*.jsonl --summary "$folder/merged.json" > "$folder/merged.txt" ||
    fail "merge of $folder refused: $(cat "$folder/merged.txt")"
  "$MATCH" "${EQUAL_RUN[@]}" --summary "$folder/single.json" > "$folder/single.txt" ||
    fail "the single run failed: $(tail -5 "$folder/single.txt")"
  cmp -s "$folder/merged.json" "$folder/single.json" ||
    fail "merged shards differ from the single run:
$(diff "$folder/merged.json" "$folder/single.json")"
  grep -q '"games": 24' "$folder/merged.json" || fail "not all 24 games merged"
  echo "merged tables equal the single run's"
}

# The SPRT line of merging the given files: its last word is the decision.
sprt_of() {
  "$MATCH" merge "$@" | grep '^SPRT' || fail "no SPRT line merging $*"
}

# One test over all shards: every shard stops within a few pairs of the
# others once the combined LLR leaves its bounds, although no shard's own
# LLR has left them.
check_shared_sprt() {
  local folder=$1 k line
  line=$(sprt_of "$folder"/shard-*.jsonl)
  echo "all shards: $line"
  [ "${line##* }" = H1 ] || fail "the test over all shards has not decided: $line"
  for k in $(seq 1 "$SPRT_SHARDS"); do
    line=$(sprt_of "$folder/shard-$k.jsonl")
    echo "shard $k alone: $line"
    [ "${line##* }" = continue ] || fail "shard $k decided on its own games: $line"
    grep -q "shards has decided" "$folder/shard-$k.log" ||
      fail "shard $k did not stop for the shared test: $(tail -3 "$folder/shard-$k.log")"
  done
  /usr/bin/python3 - "$folder" "$SPRT_SHARDS" <<'PY' || fail "shards stopped far apart"
import json, sys
folder, shards = sys.argv[1], int(sys.argv[2])
pairs = []
for k in range(1, shards + 1):
    with open(f"{folder}/shard-{k}.jsonl") as f:
        games = [json.loads(line) for line in f.read().splitlines()[1:]]
    pairs.append(len({g["pair"] for g in games}))
print("pairs per shard:", pairs)
sys.exit(0 if min(pairs) > 0 and max(pairs) - min(pairs) <= 3 else 1)
PY
}
