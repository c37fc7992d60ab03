#!/usr/bin/env bash
# probe-under-wine.sh [--wine-wmi] [TABLE_FILE] [-- PROBE_ARGUMENTS...]
# Runs smbios-probe.exe under Wine, by default with the test WMI provider serving TABLE_FILE
# as the SMBIOS table (no TABLE_FILE: no instance), and exits with the probe's status.
# With --wine-wmi the probe meets Wine's own WMI instead, in a prefix of its own.
#   SMBIOS_PROBE_EXE            the exe (default: build/windows-x64/src/app/smbios-probe.exe)
#   SMBIOS_PROBE_TEST_PROVIDER  the provider DLL of the same architecture
#                               (default: tests/wine/test_wmi_provider.dll in the exe's build)
#   SMBIOS_PROBE_WINEPREFIXES   a folder to keep the prefixes in (default: throwaway ones)
#   SMBIOS_PROBE_TEST_VERSION and SMBIOS_PROBE_TEST_MODE reach the provider unchanged.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# shellcheck source=wine-prefix.sh
. "$here/wine-prefix.sh"

wine_wmi=false
if [ "${1:-}" = --wine-wmi ]; then
  wine_wmi=true
  shift
fi

exe=${SMBIOS_PROBE_EXE:-$root/build/windows-x64/src/app/smbios-probe.exe}
build=$(dirname "$(dirname "$(dirname "$exe")")")
provider=${SMBIOS_PROBE_TEST_PROVIDER:-$build/tests/wine/test_wmi_provider.dll}
[ -n "$(wine_program)" ] || { echo "probe-under-wine: Wine is not installed" >&2; exit 125; }
[ -f "$exe" ] || { echo "probe-under-wine: no $exe (build a Windows preset)" >&2; exit 125; }
arch=$(pe_architecture "$exe")

prefixes=${SMBIOS_PROBE_WINEPREFIXES:-}
if [ -z "$prefixes" ]; then
  prefixes=$(mktemp -d /tmp/smbios-probe-wine.XXXXXX)
  trap '"$(wineserver_program)" -k 2>/dev/null || true; rm -rf "$prefixes"' EXIT
fi
if $wine_wmi; then
  prepare_prefix "$prefixes/wine-wmi"
else
  [ -f "$provider" ] || { echo "probe-under-wine: no $provider" >&2; exit 125; }
  prepare_provider_prefix "$prefixes/test-provider" "$provider" "$arch"
fi

# The server, started apart from the probe, holds none of its outputs open; a kept prefix
# keeps its server and services up between runs, for a while.
persist=
[ -n "${SMBIOS_PROBE_WINEPREFIXES:-}" ] && persist=-p30
"$(wineserver_program)" $persist </dev/null >/dev/null 2>&1 || true

unset SMBIOS_PROBE_TEST_TABLE
if [ $# -ge 1 ] && [ "$1" != -- ]; then
  export SMBIOS_PROBE_TEST_TABLE="Z:$(realpath "$1")"
  shift
fi
[ "${1:-}" = -- ] && shift
status=0
run_wine "$exe" "$@" || status=$?
exit "$status"
