#!/usr/bin/env bash
# Cross-builds the 32-bit Windows folder (build-win/bin: curling-engine.exe,
# Korvane.dll, curling-match.exe and the physics tools) and tests it under
# Wine:
# - the engine's process tests, built for Linux, run against
#   curling-engine.exe with the 32-bit test-double Korvane.dll;
# - the fixed noise-0 shots end where they end with the Linux library;
# - a GO with the real 32-bit library gives a well-formed reply;
# - curling-match.exe plays a short game, and refuses to play against an
#   engine that cannot be started;
# - it plays a small tournament two games at once and resumes it.
set -euo pipefail
cd "$(dirname "$0")/.."

# wine32 lives in the i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  # deps.sh updates the package lists only when something is missing.
  "${sudo_cmd[@]}" apt-get update -q
fi
tools/deps.sh g++-mingw-w64-i686-posix wine wine32

cmake --preset windows >/dev/null
cmake --build --preset windows
# The Linux side: the process tests and the reference signature.
cmake --preset default >/dev/null
cmake --build --preset default --target engine_process_tests korvane-signature

export WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$PWD/build-win/wineprefix}"
wine="$(command -v wine)"
trap 'wineserver -k 2>/dev/null || true' EXIT
# A server left running in this prefix would never let `wineserver -w` end.
wineserver -k 2>/dev/null || true
# Creating the prefix takes a while; do it before anything is timed.
wineboot --init >/dev/null 2>&1 || true
wineserver -w
# One server for all the runs below, rather than one per run.
wineserver -p

echo "== fixed shots: Linux against Windows"
linux_stones="build-win/stones-linux.txt"
windows_stones="build-win/stones-windows.txt"
build/bin/korvane-signature --stones >"$linux_stones"
"$wine" build-win/bin/korvane-signature.exe --stones | tr -d '\r' >"$windows_stones"
head -n 1 "$linux_stones"
head -n 1 "$windows_stones"
if cmp -s "$linux_stones" "$windows_stones"; then
  echo "same signature and stones to the bit"
else
  # The two C libraries' math functions may differ in the last bit.
  python3 - "$linux_stones" "$windows_stones" <<'EOF'
import sys
a = [l.split() for l in open(sys.argv[1]).read().splitlines()[1:]]
b = [l.split() for l in open(sys.argv[2]).read().splitlines()[1:]]
assert len(a) == len(b) and len(a) > 0, "different number of shots"
worst = max(abs(float(x) - float(y)) for ra, rb in zip(a, b) for x, y in zip(ra, rb))
print(f"signatures differ; largest coordinate difference {worst * 1000:.4f} mm")
sys.exit(0 if worst <= 1e-4 else 1)
EOF
fi

echo "== engine process tests under Wine"
# The executable alone in its folder, so that the search path decides which
# test double it loads.
mkdir -p build-win/engine-under-test
rm -f build-win/engine-under-test/*
cp build-win/bin/curling-engine.exe build-win/engine-under-test/
CURLING_TEST_ENGINE="$PWD/build-win/engine-under-test/curling-engine.exe" \
CURLING_TEST_LAUNCHER="$wine" \
CURLING_TEST_DOUBLE_DIR="$PWD/build-win/tests/engine/double/plain" \
CURLING_TEST_OFFSET_DOUBLE_DIR="$PWD/build-win/tests/engine/double/offset" \
  build/bin/engine_process_tests

echo "== one GO with the real library"
reply="$({ printf 'SETSTATE 12 0 10 0\n'; sleep 0.5; printf 'GO\n'; } |
  "$wine" build-win/bin/curling-engine.exe 2>/dev/null)"
echo "$reply"
[[ "$reply" =~ ^BESTSHOT\ -?[0-9]+\.[0-9]{6}\ -?[0-9]+\.[0-9]{6}\ [01]$ ]]
echo "== short games with curling-match.exe"
rm -rf build-win/match-check
mkdir -p build-win/match-check
"$wine" build-win/bin/curling-match.exe --ends 2 --seed 5 \
  --record build-win/match-check/game.json --svg build-win/match-check </dev/null
# An engine that cannot be started ends the run at once with status 2.
set +e
missing="$("$wine" build-win/bin/curling-match.exe --ends 1 --go-timeout 600 \
  build-win/bin/curling-engine.exe no-such-engine.exe </dev/null 2>&1)"
status=$?
set -e
echo "$missing" | head -n 1
[ "$status" -eq 2 ] && [[ "$missing" == *"cannot start 'no-such-engine.exe'"* ]]
python3 - build-win/match-check <<'EOF'
import json, os, sys
folder = sys.argv[1]
def stones(name):
    game = json.load(open(os.path.join(folder, name)))
    assert game["complete"], name + ": game not complete"
    return [s for e in game["ends"] for s in e["stones"]]
played = stones("game.json")
assert len(played) >= 32 and all(s["status"] == "played" for s in played), "a stone was not played"
pictures = [f for f in os.listdir(folder) if f.endswith(".svg")]
assert len(pictures) == len(played), "one picture per stone"
print(f"{len(played)} stones played, {len(pictures)} pictures; the missing engine refused")
EOF
echo "== a small tournament with curling-match.exe: two games at once, then resumed"
tour=(--ends 1 --no-extra-ends --games 4 --concurrency 2 --seed 5
  --engine "name=one" "cmd=build-win/bin/curling-engine.exe" "threads=1"
  --engine "name=two" "cmd=build-win/bin/curling-engine.exe" "threads=1"
  --results build-win/match-check/results.jsonl --summary build-win/match-check/summary.json)
"$wine" build-win/bin/curling-match.exe "${tour[@]}" </dev/null | tail -n 4
again="$("$wine" build-win/bin/curling-match.exe "${tour[@]}" </dev/null)"
[[ "$again" == *"4 games already played"* ]]
python3 - build-win/match-check <<'EOF'
import json, os, sys
folder = sys.argv[1]
lines = open(os.path.join(folder, "results.jsonl"), encoding="utf-8").read().splitlines()
games = sorted(json.loads(line)["game"] for line in lines[1:])
assert games == [0, 1, 2, 3], games
summary = json.load(open(os.path.join(folder, "summary.json")))
assert summary["games"] == 4 and summary["pairings"][0]["games"] == 4, summary
print("4 games in the results file, resumed with nothing left to play")
EOF

echo "windows build passed: build-win/bin is ready to copy"
