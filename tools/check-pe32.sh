#!/usr/bin/env bash
# Checks the 32-bit Windows files in FOLDER (build-win/bin) without running
# them: curling-engine.exe and curling-match.exe are PE32 console programs
# for i386, Korvane.dll a PE32 DLL for i386 exporting exactly Simulation,
# CreateShot, CreateHitShot, GetScore and KorvaneSeed by those plain names,
# and each imports from KERNEL32.dll and msvcrt.dll only (curling-match.exe
# also from our own Korvane.dll beside it, which plays its shots): no
# compiler runtime DLLs.
# Usage: tools/check-pe32.sh FOLDER   (exit status 1 on any difference)
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: tools/check-pe32.sh FOLDER" >&2; exit 2; }
folder="$1"
objdump="${OBJDUMP:-i686-w64-mingw32-objdump}"
command -v "$objdump" >/dev/null || objdump=objdump

failures=0
fail() {
  echo "$1: $2" >&2
  failures=$((failures + 1))
}

# One file: kind is exe or dll; the DLLs it may import besides the system's.
check() {
  local file="$folder/$1" kind="$2" own="${3:-}" dump before=$failures
  if ! dump="$("$objdump" -p "$file" 2>&1)"; then
    fail "$file" "objdump cannot read it: $(echo "$dump" | head -n 1)"
    return
  fi
  grep -q 'file format pei-i386$' <<<"$dump" || fail "$file" "not an i386 PE file"
  grep -qE '^Magic[[:space:]]+010b' <<<"$dump" || fail "$file" "not PE32 (optional header magic)"
  grep -qE '^Subsystem[[:space:]]+00000003' <<<"$dump" || fail "$file" "not a console (CUI) program"
  local flags
  flags=$(awk '/^Characteristics 0x/ {print $2; exit}' <<<"$dump")
  [ -n "$flags" ] || flags=0
  (( flags & 0x0100 )) || fail "$file" "not marked as a 32-bit machine file"
  if [ "$kind" = dll ]; then
    (( flags & 0x2000 )) || fail "$file" "not a DLL"
  else
    (( flags & 0x2000 )) && fail "$file" "a DLL, not a program"
  fi
  local imports
  imports=$(awk '$1 == "DLL" && $2 == "Name:" {print $3}' <<<"$dump" | sort -u | tr '\n' ' ')
  local allowed
  allowed=$(printf '%s\n' KERNEL32.dll msvcrt.dll $own | sort | tr '\n' ' ')
  [ "$imports" = "$allowed" ] || fail "$file" "imports ${imports:-nothing}, not $allowed"
  if [ "$kind" = dll ]; then
    local exports
    exports=$(awk '/^\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
                   on && /^[[:space:]]*$/ {on = 0}
                   on {print $NF}' <<<"$dump" | sort | tr '\n' ' ')
    [ "$exports" = "CreateHitShot CreateShot GetScore KorvaneSeed Simulation " ] ||
      fail "$file" "exports ${exports:-nothing}"
  fi
  [ "$failures" -gt "$before" ] || echo "$file: PE32 i386 $kind, imports $imports"
}

check curling-engine.exe exe
check curling-match.exe exe Korvane.dll
check Korvane.dll dll
if [ "$failures" -gt 0 ]; then
  echo "$folder: $failures differences from a 32-bit Windows folder" >&2
  exit 1
fi
echo "$folder: 32-bit Windows files as they should be"
