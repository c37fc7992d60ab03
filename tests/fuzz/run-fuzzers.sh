#!/usr/bin/env bash
# run-fuzzers.sh BUILD_DIR SECONDS: runs each fuzz target for SECONDS; any crash, leak or
# sanitizer report fails. The walker's corpus is seeded with the captured tables, each asked
# for a few types; a crash input is left in BUILD_DIR/fuzz-findings.
set -euo pipefail
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$build/fuzz-work
findings=$build/fuzz-findings
rm -rf "$work"
mkdir -p "$work/find_structure" "$work/read_raw_smbios_table" "$findings"

# The first byte of a walker input is the type asked for.
for table in "$here"/../data/*.bin; do
  for type in 0 127 128 218; do
    { printf "\\$(printf %03o "$type")"; cat "$table"; } >"$work/find_structure/$(basename "$table" .bin)-$type"
  done
done

for target in find_structure read_raw_smbios_table; do
  echo "-- $target"
  "$build/tests/fuzz/${target}_fuzzer" -max_total_time="$seconds" -max_len=20000 \
    -artifact_prefix="$findings/$target-" -print_final_stats=1 "$work/$target" 2>"$work/$target.log" ||
    { tail -n 40 "$work/$target.log"; exit 1; }
  grep -E '^(Done|stat::number_of_executed_units)' "$work/$target.log" | tail -n 2
done
