#!/usr/bin/env bash
# Builds the tests once more with sanitizers and runs them through CTest:
#
#   tools/sanitized-tests.sh address   AddressSanitizer and UndefinedBehaviorSanitizer
#                                      (LeakSanitizer included), every test
#   tools/sanitized-tests.sh thread    ThreadSanitizer, the tests whose code
#                                      crosses threads (worker, pause gate,
#                                      read-ahead, cancels, device loss, soak,
#                                      the command line's running copy)
#
# Each builds into its own folder, <build folder>/<address|thread>, at -O1 so
# that the instrumented tests stay quick. The thread build leaves out the
# desktop program: Qt's own locks are not instrumented, so ThreadSanitizer
# cannot see them order anything. A report fails the test that made it.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$(pwd)

kind=${1:-}
case "$kind" in
  address)
    sanitize=address,undefined
    gui=ON
    targets=(all)
    selection=()
    ;;
  thread)
    sanitize=thread
    gui=OFF
    targets=(test_engine test_platform test_cli orvel-disk-image)
    threaded='CopyWorkerTest|PauseGate|SoakTest|OverlappedCopyTest|CancelTest|RealDeviceLostTest'
    threaded+='|SimPreparationTest|CommandLineOperations'
    selection=(-R "^($threaded)\\.")
    ;;
  *)
    echo "usage: $0 address|thread" >&2
    exit 2
    ;;
esac

build_dir=${ORVEL_BUILD_DIR:-build}/$kind
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE= -DCMAKE_CXX_FLAGS="-O1 -g1" \
  -DORVEL_SANITIZE="$sanitize" -DORVEL_BUILD_GUI="$gui" \
  ${ORVEL_WERROR:+-DORVEL_WERROR="$ORVEL_WERROR"} >/dev/null
cmake --build "$build_dir" -j "$(nproc)" --target "${targets[@]}"

suppressions=$source_dir/tools/sanitizers
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:check_initialization_order=1
export LSAN_OPTIONS=suppressions=$suppressions/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1:suppressions=$suppressions/tsan.supp
echo "Tests under $kind sanitizers in $build_dir"
ctest --test-dir "$build_dir" --output-on-failure -j 2 --timeout 900 "${selection[@]}"
