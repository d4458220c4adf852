#!/usr/bin/env bash
# tools/windows-test.sh decides from its 32-bit probe which Windows folders
# it tests. Hosts that cannot run 32-bit programs are simulated by pointing
# the probe at programs that cannot run here (or anywhere); on those the
# script must plan the 64-bit folder under wine64 alone, and neither wine32
# nor the i386 architecture. Nothing is built or installed (--plan).
set -euo pipefail
cd "$(dirname "$0")/../.."

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Writes the bytes given as hex pairs to a file and makes it executable.
bytes() {
  printf "$(tr -d ' \n' <<<"$2" | sed 's/../\\x&/g')" >"$1"
  chmod +x "$1"
}
# An aarch64 Linux program: exit(0).
bytes "$work/aarch64" "7f 45 4c 46 02 01 01 00 00 00 00 00 00 00 00 00
  02 00 b7 00 01 00 00 00 78 00 40 00 00 00 00 00 40 00 00 00 00 00 00 00
  00 00 00 00 00 00 00 00 00 00 00 00 40 00 38 00 01 00 00 00 00 00 00 00
  01 00 00 00 05 00 00 00 00 00 00 00 00 00 00 00 00 00 40 00 00 00 00 00
  00 00 40 00 00 00 00 00 84 00 00 00 00 00 00 00 84 00 00 00 00 00 00 00
  00 00 01 00 00 00 00 00 00 00 80 d2 a8 0b 80 d2 01 00 00 d4"
# Not an executable format at all: a Windows program's first bytes.
bytes "$work/wrong-magic" "4d 5a 90 00 03 00 00 00 04 00 00 00 ff ff 00 00"
# A program that runs and answers as the probe does.
printf '#!/bin/sh\nexit 42\n' >"$work/runs"
chmod +x "$work/runs"

failures=0
# expect PROBE ANSWER: the plan for that probe.
expect() {
  local plan
  plan="$(CURLING_I386_PROBE="$1" tools/windows-test.sh --plan)"
  local ok=1
  grep -qx "32-bit programs run on this host: $2" <<<"$plan" || ok=0
  if [ "$2" = no ]; then
    grep -qx "Windows folders tested under Wine: build-win64" <<<"$plan" || ok=0
    grep -qw "wine64" <<<"$plan" || ok=0
    grep -qE "wine32|i386 architecture" <<<"$plan" && ok=0
  else
    grep -qx "Windows folders tested under Wine: build-win build-win64" <<<"$plan" || ok=0
    grep -qw "wine32" <<<"$plan" || ok=0
  fi
  if [ "$ok" -eq 1 ]; then
    echo "ok: probe $(basename "$1") -> 32-bit $2"
  else
    echo "FAILED: probe $1 should give 32-bit $2; the plan was:" >&2
    echo "$plan" >&2
    failures=$((failures + 1))
  fi
}

expect "$work/aarch64" no
expect "$work/wrong-magic" no
expect "$work/no-such-program" no
expect "$work/runs" yes
# The real probe gives one answer or the other, and says which.
tools/windows-test.sh --plan | grep -E "^32-bit programs run on this host: (yes|no)$"
[ "$failures" -eq 0 ]
