#!/usr/bin/env bash
# Line coverage that the fuzz targets reach with a corpus: builds the
# fuzz-coverage preset (clang source-based coverage, build-fuzz-cov/),
# replays each target's corpus once and prints, per target, the lines of
# every project source file it links (the targets' own files left out).
#
#   tools/fuzz-coverage.sh [RUN_DIR]
#
# RUN_DIR is a folder written by tools/fuzz.sh (FUZZ_OUT), whose
# TARGET/corpus folders hold the grown corpora; without it, the committed
# seed corpora are replayed.
set -euo pipefail
cd "$(dirname "$0")/.."

run=${1:-}
tools/deps.sh clang-14 libclang-rt-14-dev libomp-14-dev llvm-14
cmake --preset fuzz-coverage >/dev/null
cmake --build --preset fuzz-coverage >/dev/null

bin=build-fuzz-cov/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

while read -r name corpus _; do
  [ -n "$name" ] || continue
  if [ -n "$run" ]; then
    dir=$run/$name/corpus
  else
    dir=fuzz/corpus/$corpus
  fi
  if ! [ -d "$dir" ]; then
    echo "== $name: no corpus at $dir" >&2
    continue
  fi
  mkdir -p "$work/$name"
  # %m keeps the profile of a library the target loads (Korvane.dll) apart.
  LLVM_PROFILE_FILE="$work/$name/%p-%m.profraw" "$bin/$name" -runs=0 -close_fd_mask=3 \
    "$dir" </dev/null >/dev/null 2>&1
  llvm-profdata-14 merge -o "$work/$name.profdata" "$work/$name"/*.profraw
  objects=("$bin/$name")
  [ "$name" = fuzz_engine_go_real ] && objects+=(-object "$bin/Korvane.dll")
  echo "== $name ($(find "$dir" -type f | wc -l) inputs from $dir): lines"
  llvm-cov-14 report "${objects[@]}" -instr-profile="$work/$name.profdata" \
    -ignore-filename-regex="^($PWD/fuzz/|/usr/)" |
    awk 'NR > 2 && $1 != "" && $1 !~ /^-/ { printf "  %-34s %6s lines %6s missed %8s\n", $1, $8, $9, $10 }'
done <build-fuzz-cov/fuzz-targets.txt
