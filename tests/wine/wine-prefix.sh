# Throwaway Wine prefixes for the Wine tests, headless and quiet. Sourced by the scripts here.

wine_program() {
  command -v wine64 2>/dev/null || { [ -x /usr/lib/wine/wine64 ] && echo /usr/lib/wine/wine64; } ||
    command -v wine 2>/dev/null
}

wineserver_program() {
  command -v wineserver 2>/dev/null || ls /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver 2>/dev/null | head -n 1
}

# Runs Wine with the prefix in $WINEPREFIX, without a display and without debug output.
run_wine() {
  env -u DISPLAY -u WAYLAND_DISPLAY WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d" "$(wine_program)" "$@"
}

# x64 or x86, from the machine field of a Windows executable's PE header.
pe_architecture() {
  local pe_offset machine
  pe_offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  machine=$(od -An -t x2 -j $((pe_offset + 4)) -N 2 "$1" | tr -d ' ')
  case $machine in
    8664) echo x64 ;;
    014c) echo x86 ;;
    *) echo "unknown PE machine $machine in $1" >&2; return 1 ;;
  esac
}

# prepare_prefix DIR: makes DIR a Wine prefix, once.
prepare_prefix() {
  export WINEPREFIX=$1
  [ -f "$WINEPREFIX/.smbios-probe-prefix" ] && return 0
  mkdir -p "$WINEPREFIX"
  run_wine wineboot --init >/dev/null 2>&1
  "$(wineserver_program)" -w 2>/dev/null || true
  touch "$WINEPREFIX/.smbios-probe-prefix"
}

# prepare_provider_prefix DIR PROVIDER_DLL ARCH: a prefix in which the WMI locator class is
# the test provider for ARCH (x64 or x86) instead of Wine's own WMI.
prepare_provider_prefix() {
  local provider=$2 arch=$3
  prepare_prefix "$1"
  mkdir -p "$WINEPREFIX/drive_c/smbios-probe/$arch"
  cp "$provider" "$WINEPREFIX/drive_c/smbios-probe/$arch/test_wmi_provider.dll"
  [ -f "$WINEPREFIX/.smbios-probe-provider-$arch" ] && return 0
  local key='HKLM\Software\Classes\CLSID\{4590F811-1D3A-11D0-891F-00AA004B2E24}\InprocServer32'
  local view=/reg:64
  [ "$arch" = x86 ] && view=/reg:32
  run_wine reg add "$key" /ve /d "C:\\smbios-probe\\$arch\\test_wmi_provider.dll" /f "$view" >/dev/null 2>&1
  run_wine reg add "$key" /v ThreadingModel /d Both /f "$view" >/dev/null 2>&1
  "$(wineserver_program)" -w 2>/dev/null || true
  touch "$WINEPREFIX/.smbios-probe-provider-$arch"
}
