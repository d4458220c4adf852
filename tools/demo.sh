#!/usr/bin/env bash
# Builds everything (Release, build/) and plays a demo game of our engine
# against itself with the real physics library: line score on the terminal;
# the game record, its replay page and a picture of the house after every
# stone in out/demo/; then replays the record through the library.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
mkdir -p out/demo
build/bin/curling-match --ends "${DEMO_ENDS:-4}" --seed "${DEMO_SEED:-2026}" \
  --record out/demo/game.json --html out/demo/game.html --svg out/demo "$@"
build/bin/curling-match replay out/demo/game.json
echo "open out/demo/game.html in a browser to watch the game"
echo "record: out/demo/game.json   pictures: out/demo/*.svg"
