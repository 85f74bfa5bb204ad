#!/usr/bin/env bash
# Reads the built module's tables with objdump and fails on anything a host or the
# loader would trip over: the exports (names and ordinals), the shared section (its
# flags, its size, zero content) and the imports (system DLLs only).
# Usage: check_module.sh <Parlix.dll> <objdump>
set -u
export LC_ALL=C
dll=${1:?module path}
objdump=${2:?objdump path}
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

[ -f "$dll" ] || { echo "FAIL: no module at $dll" >&2; exit 1; }
private=$("$objdump" -p "$dll") || { echo "FAIL: objdump -p failed" >&2; exit 1; }
headers=$("$objdump" -h "$dll") || { echo "FAIL: objdump -h failed" >&2; exit 1; }
format=$(printf '%s\n' "$headers" | sed -n 's/.*file format \(.*\)$/\1/p' | head -1)

# Exports: exactly these names at exactly these ordinals.
base=$(printf '%s\n' "$private" | sed -n 's/.*Ordinal Base \([0-9]\+\).*/\1/p' | head -1)
[ -n "$base" ] || fail "no export table"
addresses=$(printf '%s\n' "$private" | awk '/^Export Address Table -- Ordinal Base/{on=1; next} on && /^[[:space:]]*$/{exit} on && /\[/{n++} END{print n+0}')
[ "$addresses" = 4 ] || fail "export address table has $addresses entries, expected 4"
exports=$(printf '%s\n' "$private" | awk -v base="${base:-0}" '
  /^\[Ordinal\/Name Pointer\] Table/{on=1; next}
  on && /^[[:space:]]*$/{exit}
  on {
    line=$0; name=$NF
    if (match(line, /\+base\[ *[0-9]+\]/)) { s=substr(line, RSTART, RLENGTH); gsub(/[^0-9]/, "", s); ordinal=s+0 }
    else { match(line, /\[ *[0-9]+\]/); s=substr(line, RSTART, RLENGTH); gsub(/[^0-9]/, "", s); ordinal=s+base }
    print ordinal, name
  }' | sort -n)
expected=$'1 SetHotKeys\n2 InstallHook\n3 UninstallHook\n4 HookProc'
if [ "$exports" != "$expected" ]; then
  fail "exports differ"
  printf 'expected:\n%s\nfound:\n%s\n' "$expected" "$exports" >&2
fi

# The shared section: present, these flags exactly, the six values and nothing else.
case "$format" in
  pei-i386) want_size=16 ;;     # four 16-bit keys, two 32-bit handles
  pei-x86-64) want_size=24 ;;   # four 16-bit keys, two 64-bit handles
  *) fail "unknown file format '$format'"; want_size=0 ;;
esac
sdata=$(printf '%s\n' "$headers" | awk '$2 == ".sdata" {print $3; getline; sub(/^[[:space:]]+/, ""); print; exit}')
if [ -z "$sdata" ]; then
  fail "no .sdata section"
else
  size_hex=$(printf '%s\n' "$sdata" | sed -n 1p)
  flags=$(printf '%s\n' "$sdata" | sed -n 2p)
  [ "$flags" = "CONTENTS, ALLOC, LOAD, DATA, SHARED" ] || fail ".sdata flags are '$flags'"
  [ $((16#$size_hex)) = "$want_size" ] || fail ".sdata holds $((16#$size_hex)) bytes, expected $want_size"
  content=$("$objdump" -s -j .sdata "$dll" | awk '/^ [0-9a-f]+ /{for (i = 2; i <= 5; i++) if ($i ~ /^[0-9a-f]+$/) printf "%s", $i}')
  [ -n "$content" ] || fail ".sdata content could not be read"
  [ -z "$(printf '%s' "$content" | tr -d 0)" ] || fail ".sdata is not zero at load: $content"
fi

# Imports: system DLLs only; the module is mapped into foreign processes.
imports=$(printf '%s\n' "$private" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ -n "$imports" ] || fail "no import table"
while read -r name; do
  [ -z "$name" ] && continue
  case "$(printf '%s' "$name" | tr '[:lower:]' '[:upper:]')" in
    KERNEL32.DLL | USER32.DLL | GDI32.DLL | ADVAPI32.DLL | IMM32.DLL | SHLWAPI.DLL | MSVCRT.DLL) ;;
    *) fail "imports $name" ;;
  esac
done <<<"$imports"

if [ "$failures" -ne 0 ]; then
  echo "$dll: $failures check(s) failed" >&2
  exit 1
fi
echo "$dll ($format): exports, .sdata ($want_size bytes, shared, zero) and imports ($(echo $imports | tr '\n' ' ')) are as required"
