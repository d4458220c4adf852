#!/usr/bin/env bash
# Cross-builds the Windows folders and tests them under Wine.
#
# Usage: tools/windows-test.sh [--plan]
#   --plan  only say whether this host runs 32-bit programs and which
#           Windows builds would be tested, then exit; nothing installed.
#
# Some hosts cannot execute 32-bit programs at all (the kernel answers "Exec
# format error", so wine32 cannot start either). The script first runs a tiny
# 32-bit Linux program; CURLING_I386_PROBE names another program to run in its
# place, which counts as running only if it exits with status 42.
#   32-bit programs run: the 32-bit folder build-win/ is tested under wine32,
#     then the 64-bit folder build-win64/ under wine64.
#   they do not: build-win/ is still built, and build-win64/ is tested under
#     wine64, which needs no 32-bit support (no i386 packages installed).
# On every host the 32-bit files themselves are checked with objdump: PE32
# console programs and a DLL for i386, the DLL exporting exactly the five
# plain names, all importing only KERNEL32.dll and msvcrt.dll.
#
# The tests of one folder, each under the Wine that runs it:
# - the fixed noise-0 shots end where they end with the Linux library (to
#   the bit, or within 0.1 mm where the C libraries' math functions differ
#   in the last bit);
# - the engine's process tests, built for Linux, run against
#   curling-engine.exe with that folder's test-double Korvane.dll;
# - a GO with the real library gives a well-formed reply, from the classic
#   player and from the search player at --movetime 100;
# - the search player's process tests (its options, a seeded search that
#   answers the same twice, the game clock) run against curling-engine.exe
#   with that folder's real Korvane.dll;
# - curling-match.exe plays a short game whose record replays, and refuses
#   to play against an engine that cannot be started;
# - it plays a small tournament two games at once and resumes it.
set -euo pipefail
cd "$(dirname "$0")/.."

plan_only=0
case "${1:-}" in
  --plan) plan_only=1 ;;
  "") ;;
  *) echo "usage: tools/windows-test.sh [--plan]" >&2; exit 2 ;;
esac

# A static i386 Linux program of 96 bytes: ELF header, one loadable segment,
# then `mov ebx, 42; mov eax, 1 (exit); int 0x80`.
write_i386_probe() {
  printf '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' >"$1"
  printf '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' >>"$1"
  printf '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' >>"$1"
  printf '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' >>"$1"
  printf '\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00' >>"$1"
  printf '\x00\x10\x00\x00\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80' >>"$1"
  chmod +x "$1"
}

i386_runs() {
  local probe="${CURLING_I386_PROBE:-}"
  if [ -z "$probe" ]; then
    # Inside the tree: /tmp may be mounted noexec.
    mkdir -p build-win
    probe="build-win/i386-probe"
    write_i386_probe "$probe"
  fi
  local status=0
  "$probe" </dev/null >/dev/null 2>&1 || status=$?
  [ "$status" -eq 42 ]
}

if i386_runs; then
  runs32=yes
  folders=(build-win build-win64)
  packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine32 wine64 python3)
else
  runs32=no
  folders=(build-win64)
  packages=(g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64 python3)
fi
echo "32-bit programs run on this host: $runs32"
echo "Windows folders tested under Wine: ${folders[*]}"
if [ "$plan_only" -eq 1 ]; then
  echo "packages: ${packages[*]}"
  [ "$runs32" = yes ] && echo "i386 architecture: added if missing"
  exit 0
fi

if [ "$runs32" = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  # wine32 lives in the i386 architecture.
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  # deps.sh updates the package lists only when something is missing.
  "${sudo_cmd[@]}" apt-get update -q
fi
tools/deps.sh "${packages[@]}"

cmake --preset windows >/dev/null
cmake --build --preset windows
tools/check-pe32.sh build-win/bin
cmake --preset windows64 >/dev/null
cmake --build --preset windows64
# The check is no check if it passes anything: the 64-bit files must fail it.
if OBJDUMP=objdump tools/check-pe32.sh build-win64/bin >/dev/null 2>&1; then
  echo "tools/check-pe32.sh passed the 64-bit folder build-win64/bin" >&2
  exit 1
fi
# The Linux side: the process tests and the reference signature.
cmake --preset default >/dev/null
cmake --build --preset default --target engine_process_tests search_process_tests \
  korvane-signature
build/bin/korvane-signature --stones >build/stones-linux.txt

export WINEDEBUG=-all
wineserver=/usr/lib/wine/wineserver
trap '"$wineserver" -k 2>/dev/null || true' EXIT

# Tests one Windows folder under the given Wine loader.
test_folder() {
  local folder="$1" wine="$2"
  echo "== $folder under $wine"
  export WINEPREFIX="$PWD/$folder/wineprefix"
  # As Debian's wine script does when wine32 is missing: the 64-bit loader
  # is then the one Wine re-executes.
  if [ "$wine" = /usr/lib/wine/wine64 ]; then export WINELOADER="$wine"; else unset WINELOADER; fi
  # A server left running in this prefix would never let `wineserver -w` end.
  "$wineserver" -k 2>/dev/null || true
  # Creating the prefix takes a while; do it before anything is timed.
  "$wine" wineboot --init >/dev/null 2>&1 || true
  "$wineserver" -w
  # One server for all the runs below, rather than one per run.
  "$wineserver" -p

  echo "== $folder: fixed shots, Linux against Windows"
  local windows_stones="$folder/stones-windows.txt"
  "$wine" "$folder/bin/korvane-signature.exe" --stones | tr -d '\r' >"$windows_stones"
  head -n 1 build/stones-linux.txt
  head -n 1 "$windows_stones"
  if cmp -s build/stones-linux.txt "$windows_stones"; then
    echo "same signature and stones to the bit"
  else
    # The two C libraries' math functions may differ in the last bit.
    /usr/bin/python3 - build/stones-linux.txt "$windows_stones" <<'EOF'
import sys
a = [l.split() for l in open(sys.argv[1]).read().splitlines()[1:]]
b = [l.split() for l in open(sys.argv[2]).read().splitlines()[1:]]
assert len(a) == len(b) and len(a) > 0, "different number of shots"
assert all(len(ra) == len(rb) for ra, rb in zip(a, b)), "different number of stones"
worst = max(abs(float(x) - float(y)) for ra, rb in zip(a, b) for x, y in zip(ra, rb))
print(f"signatures differ; largest coordinate difference {worst * 1000:.4f} mm")
sys.exit(0 if worst <= 1e-4 else 1)
EOF
  fi

  echo "== $folder: engine process tests"
  # The executable alone in its folder, so that the search path decides which
  # test double it loads.
  mkdir -p "$folder/engine-under-test"
  rm -f "$folder"/engine-under-test/*
  cp "$folder/bin/curling-engine.exe" "$folder/engine-under-test/"
  CURLING_TEST_ENGINE="$PWD/$folder/engine-under-test/curling-engine.exe" \
  CURLING_TEST_LAUNCHER="$wine" \
  CURLING_TEST_DOUBLE_DIR="$PWD/$folder/tests/double/plain" \
  CURLING_TEST_OFFSET_DOUBLE_DIR="$PWD/$folder/tests/double/offset" \
    build/bin/engine_process_tests

  echo "== $folder: one GO with the real library"
  local reply
  reply="$({ printf 'SETSTATE 12 0 10 0\n'; sleep 0.5; printf 'GO\n'; } |
    "$wine" "$folder/bin/curling-engine.exe" 2>/dev/null)"
  echo "$reply"
  [[ "$reply" =~ ^BESTSHOT\ -?[0-9]+\.[0-9]{6}\ -?[0-9]+\.[0-9]{6}\ [01]$ ]]

  echo "== $folder: the search player answers a GO at --movetime 100"
  local searched diagnostics="$folder/search-go.err"
  searched="$({ printf 'SETSTATE 12 0 10 0\n'; sleep 0.5; printf 'GO\n'; } |
    "$wine" "$folder/bin/curling-engine.exe" --player search --movetime 100 2>"$diagnostics")"
  echo "$searched"
  tr -d '\r' <"$diagnostics" | grep '^search: '
  rm -f "$diagnostics"
  [[ "$searched" =~ ^BESTSHOT\ -?[0-9]+\.[0-9]{6}\ -?[0-9]+\.[0-9]{6}\ [01]$ ]]

  echo "== $folder: search player process tests"
  CURLING_TEST_ENGINE="$PWD/$folder/engine-under-test/curling-engine.exe" \
  CURLING_TEST_LAUNCHER="$wine" \
  CURLING_TEST_KORVANE_DIR="$PWD/$folder/bin" \
    build/bin/search_process_tests

  echo "== $folder: short games with curling-match.exe"
  local check="$folder/match-check"
  rm -rf "$check"
  mkdir -p "$check"
  "$wine" "$folder/bin/curling-match.exe" --ends 2 --seed 5 \
    --record "$check/game.json" --svg "$check" --html "$check/game.html" </dev/null
  # The record replays to the bit on the platform that made it (the C
  # libraries' math functions may differ in the last bit between platforms).
  "$wine" "$folder/bin/curling-match.exe" replay "$check/game.json" </dev/null
  # An engine that cannot be started ends the run at once with status 2.
  local missing status
  set +e
  missing="$("$wine" "$folder/bin/curling-match.exe" --ends 1 --go-timeout 600 \
    "$folder/bin/curling-engine.exe" no-such-engine.exe </dev/null 2>&1)"
  status=$?
  set -e
  echo "$missing" | head -n 1
  [ "$status" -eq 2 ] && [[ "$missing" == *"cannot start 'no-such-engine.exe'"* ]]
  /usr/bin/python3 - "$check" <<'EOF'
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
  echo "== $folder: a small tournament, two games at once, then resumed"
  local tour=(--ends 1 --no-extra-ends --games 4 --concurrency 2 --seed 5
    --engine "name=one" "cmd=$folder/bin/curling-engine.exe" "threads=1"
    --engine "name=two" "cmd=$folder/bin/curling-engine.exe" "threads=1"
    --results "$check/results.jsonl" --summary "$check/summary.json")
  "$wine" "$folder/bin/curling-match.exe" "${tour[@]}" </dev/null | tail -n 4
  local again
  again="$("$wine" "$folder/bin/curling-match.exe" "${tour[@]}" </dev/null)"
  [[ "$again" == *"4 games already played"* ]]
  /usr/bin/python3 - "$check" <<'EOF'
import json, os, sys
folder = sys.argv[1]
lines = open(os.path.join(folder, "results.jsonl"), encoding="utf-8").read().splitlines()
games = sorted(json.loads(line)["game"] for line in lines[1:])
assert games == [0, 1, 2, 3], games
summary = json.load(open(os.path.join(folder, "summary.json")))
assert summary["games"] == 4 and summary["pairings"][0]["games"] == 4, summary
print("4 games in the results file, resumed with nothing left to play")
EOF
  "$wineserver" -k 2>/dev/null || true
}

[ "$runs32" = yes ] && test_folder build-win /usr/lib/wine/wine
test_folder build-win64 /usr/lib/wine/wine64

if [ "$runs32" = yes ]; then
  echo "windows tests passed: 32-bit build-win under wine, 64-bit build-win64 under wine64"
else
  echo "windows tests passed: 64-bit build-win64 under wine64 (this host runs no 32-bit" \
    "programs; build-win was built and its files checked, not run)"
fi
echo "build-win/bin is ready to copy"
