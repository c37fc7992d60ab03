#!/usr/bin/env bash
# Measures what the probe costs and prints one table: the walker's speed over a table of
# about 1 MiB, the whole host process's instruction count beside dmidecode's on the same
# tables, and the size of each Windows executable. benchmark.sh [TABLE_FILE...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

scripts/install-packages.sh cmake make g++ libc6-dev libbenchmark-dev valgrind dmidecode \
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 >&2

vendor_type=${SMBIOS_PROBE_VENDOR_TYPE:-192}
tables=("$@")
[ ${#tables[@]} -gt 0 ] || tables=(tests/data/server-dual-socket.bin tests/data/laptop-v3.2.bin)
work=$root/build/benchmark-work
mkdir -p "$work"

{
  cmake -S . -B build/benchmark -DCMAKE_BUILD_TYPE=Release -DSMBIOS_PROBE_BENCHMARKS=ON \
    -DSMBIOS_PROBE_TESTS=OFF -DSMBIOS_PROBE_VENDOR_TYPE="$vendor_type"
  cmake --build build/benchmark -j "$(nproc)"
  for preset in windows-x64 windows-x86; do
    cmake --preset "$preset" -DSMBIOS_PROBE_VENDOR_TYPE="$vendor_type"
    cmake --build --preset "$preset"
  done
} >/dev/null

# The walker: bytes per second of each benchmark, and allocations per walk.
build/benchmark/tests/bench/find_structure_benchmark --benchmark_format=csv \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null >"$work/walker.csv"
median() {  # BENCHMARK COLUMN
  awk -F, -v name="\"$1_median\"" -v column="$2" '
    NR == 1 { for (i = 1; i <= NF; i++) if ($i == column) c = i }
    $1 == name { print $c }' "$work/walker.csv"
}
gbps() { awk -v b="$1" 'BEGIN { printf "%.2f GB/s", b / 1e9 }'; }
walk_rate=$(median BM_FindStructureAbsentType bytes_per_second)
loop_rate=$(median BM_PlainByteLoop bytes_per_second)
walk_allocations=$(median BM_FindStructureAbsentType '"allocations_per_walk"')

# A dump that dmidecode reads: a 64-bit entry point for SMBIOS 3.2 whose table, of the
# given bytes, starts at offset 0x20.
make_dump() {  # TABLE DUMP
  local size bytes=() sum=0 i
  size=$(stat -c %s "$1")
  bytes=(95 83 77 51 95 0 24 3 2 0 1 0)
  for i in 0 8 16 24; do bytes+=($(((size >> i) & 255))); done
  bytes+=(32 0 0 0 0 0 0 0)
  for i in "${bytes[@]}"; do sum=$((sum + i)); done
  bytes[5]=$(((256 - sum % 256) % 256))
  while [ ${#bytes[@]} -lt 32 ]; do bytes+=(0); done
  { for i in "${bytes[@]}"; do printf "\\$(printf %03o "$i")"; done; cat "$1"; } >"$2"
}
# Both programs run in the same empty environment, so that neither pays for the caller's.
valgrind=$(command -v valgrind)
instructions() {  # COMMAND...: instructions the command executes, as callgrind counts them
  env -i "$valgrind" --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p'
}
namespace=(unshare -m)
[ "$(id -u)" -eq 0 ] || namespace=(unshare -r -m)
process_rows=()
for table in "${tables[@]}"; do
  make_dump "$table" "$work/dump.bin"
  head -c 24 "$work/dump.bin" >"$work/entry_point.bin"
  # The probe reads the table where the host's WMI provider finds the firmware's.
  probe=$("${namespace[@]}" bash -c "$(declare -f instructions)"'
    valgrind=$1
    mount -t tmpfs tmpfs /sys/firmware && mkdir -p /sys/firmware/dmi/tables &&
    cp "$2" /sys/firmware/dmi/tables/DMI && cp "$3" /sys/firmware/dmi/tables/smbios_entry_point &&
    instructions "$4"' _ "$valgrind" "$table" "$work/entry_point.bin" \
    "$root/build/benchmark/src/app/smbios-probe")
  dmidecode=$(instructions "$(command -v dmidecode)" --from-dump "$work/dump.bin" -t "$vendor_type" -q)
  share=$(awk -v a="$probe" -v b="$dmidecode" 'BEGIN { printf "%.1f%%", 100 * a / b }')
  process_rows+=("| whole host process on $(basename "$table") ($(stat -c %s "$table") bytes), instructions (callgrind) | $probe | dmidecode --from-dump -t $vendor_type -q: $dmidecode ($share) | <= 25% of dmidecode |")
done

size_of() { stat -c %s "build/$1/src/app/smbios-probe.exe"; }

cpu=$(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -n 1)
echo "Measured $(date -u +%Y-%m-%d) on $(uname -m), ${cpu:-unknown CPU}, $(nproc) cores;"
echo "vendor type $vendor_type; $(git rev-parse --short HEAD 2>/dev/null || echo 'no git'); command: scripts/benchmark.sh"
echo
echo "| measure | smbios-probe | beside it | target |"
echo "|---|---|---|---|"
echo "| walk of a 1 MiB table, absent type (median of 5) | $(gbps "$walk_rate"), $walk_allocations allocations | plain byte loop $(gbps "$loop_rate") | >= 2 GB/s, no allocation |"
printf '%s\n' "${process_rows[@]}"
echo "| smbios-probe.exe, x64 | $(size_of windows-x64) bytes | | <= 65536 bytes |"
echo "| smbios-probe.exe, x86 | $(size_of windows-x86) bytes | | <= 65536 bytes |"
