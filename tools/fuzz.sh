#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang and runs each for
# FUZZ_SECONDS (default 60) from its seed corpus. Targets may be named as
# arguments; without any, all run. docs/fuzzing.md tells more.
#
#   FUZZ_SECONDS  seconds per target
#   FUZZ_JOBS     fuzzing processes per target, in libFuzzer's fork mode (default 1)
#   ORVEL_FUZZ_BUILD_DIR  build folder (default build-fuzz)
#
# Inputs a run discovers are kept in <build folder>/fuzz-corpus/<target>, so
# later runs start where earlier ones stopped. A crash or a broken property
# leaves its input in <build folder>/fuzz-artifacts/ and fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
jobs=${FUZZ_JOBS:-1}
build_dir=${ORVEL_FUZZ_BUILD_DIR:-build-fuzz}

for tool in clang clang++; do
  if ! command -v "$tool" >/dev/null; then
    echo "fuzz.sh: $tool not found; the fuzz targets need clang and libFuzzer (Debian: clang libclang-rt-14-dev)" >&2
    exit 1
  fi
done

CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DORVEL_FUZZ=ON -DORVEL_BUILD_GUI=OFF -DORVEL_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" --target orvel_fuzz -j "$(nproc)"

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for source in fuzz/*_fuzz.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

# The scenario and command-line targets write small files for every input;
# in memory that goes several times faster than on disk.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi

artifacts="$build_dir/fuzz-artifacts"
mkdir -p "$artifacts"
failed=()
for target in "${targets[@]}"; do
  if [ ! -x "$build_dir/$target" ]; then
    echo "fuzz.sh: no fuzz target $target" >&2
    exit 1
  fi
  corpus="$build_dir/fuzz-corpus/$target"
  mkdir -p "$corpus"
  options=(-max_total_time="$seconds" -artifact_prefix="$artifacts/$target-" -print_final_stats=1)
  [ -f "fuzz/$target.dict" ] && options+=(-dict="fuzz/$target.dict")
  [ "$jobs" -gt 1 ] && options+=(-fork="$jobs")
  echo "== $target: ${seconds}s"
  # The first folder takes what the run discovers; the seeds stay as they are.
  folders=("$corpus")
  [ -d "fuzz/corpus/$target" ] && folders+=("fuzz/corpus/$target")
  if ! "$build_dir/$target" "${options[@]}" "${folders[@]}" </dev/null \
       >"$artifacts/$target.log" 2>&1; then
    failed+=("$target")
    echo "== $target FAILED; its input is in $artifacts, the run's output in $artifacts/$target.log" >&2
    grep -E '^(==[0-9]+==ERROR|SUMMARY|Property broken)' "$artifacts/$target.log" >&2 || true
  else
    grep -E '^stat::number_of_executed_units' "$artifacts/$target.log" || true
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: ${#failed[@]} target(s) failed: ${failed[*]}" >&2
  exit 1
fi
echo "fuzz.sh: every target ran ${seconds}s without a fault"
