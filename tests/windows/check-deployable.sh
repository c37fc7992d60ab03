#!/usr/bin/env bash
# check-deployable.sh EXE: the checks a Windows build must pass before it is deployed.
# It imports only system DLLs, is a console program with ASLR, DEP (and on x64 high-entropy
# addresses), carries no symbols, has its version resource and manifest, and fits 64 KiB.
set -euo pipefail
exe=$1
objdump=x86_64-w64-mingw32-objdump
failures=0
fail() {
  echo "FAIL: $exe: $*" >&2
  failures=$((failures + 1))
}

headers=$($objdump -p "$exe")
while read -r dll; do
  case ${dll,,} in
    kernel32.dll | msvcrt.dll | ole32.dll | oleaut32.dll) ;;
    *) fail "imports $dll" ;;
  esac
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$headers")

grep -q 'Subsystem.*Windows CUI' <<<"$headers" || fail "not a console program"
for flag in DYNAMIC_BASE NX_COMPAT; do
  grep -qw "$flag" <<<"$headers" || fail "no $flag"
done
if grep -q '^Magic.*PE32+' <<<"$headers"; then
  grep -qw HIGH_ENTROPY_VA <<<"$headers" || fail "no HIGH_ENTROPY_VA"
fi
$objdump -h "$exe" | grep -qw '\.reloc' || fail "no relocations, so no ASLR"
$objdump -f "$exe" | grep -qw HAS_SYMS && fail "not stripped"

strings -el "$exe" | grep -qx 'smbios-probe' || fail "no version resource"
grep -qa 'level="asInvoker"' "$exe" || fail "no asInvoker manifest"

size=$(stat -c %s "$exe")
[ "$size" -le 65536 ] || fail "$size bytes, over the 64 KiB budget"

[ "$failures" -eq 0 ] && echo "ok: $exe ($size bytes)"
exit "$failures"
