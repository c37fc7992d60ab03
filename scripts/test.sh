#!/usr/bin/env bash
# Installs what the tests need, builds every configuration, and runs every test: the host
# build's unit and end-to-end tests, and the Windows builds (x64, x86) under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

# Wine for the x86 build comes from Debian's i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  if [ "$(id -u)" -eq 0 ]; then dpkg --add-architecture i386; else sudo dpkg --add-architecture i386; fi
fi
scripts/install-packages.sh cmake make g++ libc6-dev libgtest-dev clang-format binutils \
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 wine64 wine32:i386

echo "== formatting"
git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror

# Wine prefixes are made once and shared by every build's tests.
export SMBIOS_PROBE_WINEPREFIXES=$PWD/build/wine-prefixes

# The default vendor type, and two more: the walk must answer for whichever type is built in.
for vendor_type in default 128 218; do
  echo "== vendor type $vendor_type: windows-x64, windows-x86 and host builds"
  options=(-DSMBIOS_PROBE_WERROR=ON)
  [ "$vendor_type" = default ] || options+=(-DSMBIOS_PROBE_VENDOR_TYPE="$vendor_type")
  build=$PWD/build/test-$vendor_type
  for arch in x64 x86; do
    toolchain=cmake/toolchains/mingw-$([ $arch = x64 ] && echo x86_64 || echo i686).cmake
    cmake -S . -B "$build/windows-$arch" --toolchain "$toolchain" -DCMAKE_BUILD_TYPE=MinSizeRel \
      "${options[@]}" >/dev/null
    cmake --build "$build/windows-$arch" -j "$(nproc)" >/dev/null
  done
  cmake -S . -B "$build/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" \
    -DSMBIOS_PROBE_WINDOWS_X64_BUILD="$build/windows-x64" \
    -DSMBIOS_PROBE_WINDOWS_X86_BUILD="$build/windows-x86" >/dev/null
  cmake --build "$build/host" -j "$(nproc)" >/dev/null
  ctest --test-dir "$build/host" --output-on-failure
done

echo "== a vendor type outside 128-255 is refused"
if cmake -S . -B build/test-rejected -DSMBIOS_PROBE_VENDOR_TYPE=127 >/dev/null 2>&1; then
  echo "configure accepted vendor type 127" >&2
  exit 1
fi
