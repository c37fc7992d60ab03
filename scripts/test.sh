#!/usr/bin/env bash
# Installs what the tests need, builds every configuration, and runs every test: the host
# build's unit and end-to-end tests, the Windows builds (x64, x86) under Wine, the same tests
# under AddressSanitizer and UBSan, the host probe under valgrind, and both fuzzers.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# Wine for the x86 build comes from Debian's i386 architecture.
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  if [ "$(id -u)" -eq 0 ]; then dpkg --add-architecture i386; else sudo dpkg --add-architecture i386; fi
fi
scripts/install-packages.sh cmake make g++ libc6-dev libgtest-dev clang-format binutils \
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 wine64 wine32:i386 \
  clang libclang-rt-14-dev valgrind

# Wine prefixes are made once and shared by every build's tests.
export SMBIOS_PROBE_WINEPREFIXES=$root/build/wine-prefixes
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
fuzz_seconds=${SMBIOS_PROBE_FUZZ_SECONDS:-60}

configure_and_build() {  # DIR CMAKE_OPTIONS...
  local dir=$1
  shift
  cmake -S . -B "$dir" -DSMBIOS_PROBE_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)" >/dev/null
}

build_windows() {  # DIR CMAKE_OPTIONS...: DIR/windows-x64 and DIR/windows-x86
  local dir=$1
  shift
  configure_and_build "$dir/windows-x64" --toolchain cmake/toolchains/mingw-x86_64.cmake \
    -DCMAKE_BUILD_TYPE=MinSizeRel "$@"
  configure_and_build "$dir/windows-x86" --toolchain cmake/toolchains/mingw-i686.cmake \
    -DCMAKE_BUILD_TYPE=MinSizeRel "$@"
}

windows_builds_of() {  # DIR: the host options that point the tests at DIR's Windows builds
  echo "-DSMBIOS_PROBE_WINDOWS_X64_BUILD=$1/windows-x64 -DSMBIOS_PROBE_WINDOWS_X86_BUILD=$1/windows-x86"
}

echo "== formatting"
git ls-files '*.h' '*.cpp' | xargs clang-format --dry-run --Werror

# The default vendor type, and two more: the walk must answer for whichever type is built in.
for vendor_type in default 128 218; do
  echo "== vendor type $vendor_type: windows-x64, windows-x86 and host builds"
  options=()
  [ "$vendor_type" = default ] || options+=(-DSMBIOS_PROBE_VENDOR_TYPE="$vendor_type")
  build=$root/build/test-$vendor_type
  build_windows "$build" "${options[@]}"
  # shellcheck disable=SC2046
  configure_and_build "$build/host" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" \
    $(windows_builds_of "$build")
  ctest --test-dir "$build/host" --output-on-failure
done

echo "== AddressSanitizer, LeakSanitizer and UBSan: unit and end-to-end tests"
# shellcheck disable=SC2046
configure_and_build build/sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSMBIOS_PROBE_SANITIZE=ON \
  $(windows_builds_of "$root/build/test-default")
ctest --test-dir build/sanitize --output-on-failure

echo "== the host probe under valgrind: end-to-end tests"
configure_and_build build/valgrind -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSMBIOS_PROBE_STATIC=OFF
# Any valgrind report fails a case twice over: its exit status and what it prints.
SMBIOS_PROBE_HOST_WRAPPER="valgrind -q --error-exitcode=1 --leak-check=full" \
  build/valgrind/tests/e2e_tests --gtest_filter='*host*:HostProbe*' --gtest_brief=1

echo "== fuzzing, ${fuzz_seconds}s per target"
CC=clang CXX=clang++ configure_and_build build/fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSMBIOS_PROBE_FUZZERS=ON -DSMBIOS_PROBE_TESTS=OFF
tests/fuzz/run-fuzzers.sh build/fuzz "$fuzz_seconds"

echo "== a vendor type outside 128-255 is refused"
if cmake -S . -B build/test-rejected -DSMBIOS_PROBE_VENDOR_TYPE=127 >/dev/null 2>&1; then
  echo "configure accepted vendor type 127" >&2
  exit 1
fi
echo "all test suites passed"
