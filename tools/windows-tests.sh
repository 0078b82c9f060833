#!/usr/bin/env bash
# Cross-builds the program for Windows with mingw-w64 (orvel-disk-image.exe,
# command line only: Qt for Windows is not on this machine) together with the
# Windows test programs, and runs those under Wine: the engine, inventory and
# command-line tests that need no Linux, and the Windows platform layer
# against what Wine provides. Where mingw-w64, Wine or the GoogleTest sources
# are missing it says so and skips, without failing.
#
# Usage: tools/windows-tests.sh [BUILD_DIR]   (default: build/windows)
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)
build_dir=${1:-${ORVEL_BUILD_DIR:-build}/windows}
mkdir -p "$build_dir"
build_dir=$(cd "$build_dir" && pwd)

skip() {
  echo "SKIPPED: Windows cross build and Wine tests: $1 (tools/setup.sh installs g++-mingw-w64-x86-64, wine64, wine and googletest)"
  exit 0
}

command -v x86_64-w64-mingw32-g++-posix >/dev/null || skip "no mingw-w64 C++ compiler (x86_64-w64-mingw32-g++-posix)"
command -v x86_64-w64-mingw32-windres >/dev/null || skip "no mingw-w64 resource compiler (x86_64-w64-mingw32-windres)"
[ -f /usr/src/googletest/CMakeLists.txt ] || skip "no GoogleTest sources in /usr/src/googletest"
wine=$(command -v wine || true)
[ -n "$wine" ] || { [ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64; } || true
[ -n "$wine" ] || skip "no Wine (wine or /usr/lib/wine/wine64)"

echo "Windows cross build in $build_dir"
cmake -S "$source_dir" -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$source_dir/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE="${ORVEL_WINDOWS_BUILD_TYPE:-}" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" \
  -DORVEL_BUILD_GUI=OFF ${ORVEL_WERROR:+-DORVEL_WERROR="$ORVEL_WERROR"} >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

# A Wine installation of the tests' own, never the user's ~/.wine. Mono and
# Gecko are not wanted (and would be downloaded); no window is ever shown.
export WINEPREFIX="$build_dir/wine-prefix"
export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX"
  "$wine" wineboot --init >/dev/null 2>&1
  # A CD drive R: (an empty folder), for the tests of optical drives.
  mkdir -p "$WINEPREFIX/optical-drive"
  ln -sfn ../optical-drive "$WINEPREFIX/dosdevices/r:"
  "$wine" reg add 'HKLM\Software\Wine\Drives' /v r: /t REG_SZ /d cdrom /f >/dev/null 2>&1
fi

# Cases with tens of thousands of unreadable sectors append each to the log
# (open, write, close), which costs Wine half a minute per case; the Linux
# test run has them.
export GTEST_FILTER='-*EverySector*'
echo "Under Wine, left to the Linux tests: $GTEST_FILTER"
ctest --test-dir "$build_dir" --output-on-failure -j 2 --timeout 600
