#!/usr/bin/env bash
# Configures and builds into build/ (or $ORVEL_BUILD_DIR), for ./run and ./test:
# everything, or only the targets named as arguments. ORVEL_WERROR=ON (as
# ./test sets it) makes any compiler warning fail the build; unset, the build
# folder keeps what it was configured with.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${ORVEL_BUILD_DIR:-build}
build_type=${ORVEL_BUILD_TYPE:-RelWithDebInfo}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE="$build_type" \
  ${ORVEL_WERROR:+-DORVEL_WERROR="$ORVEL_WERROR"} >/dev/null
cmake --build "$build_dir" -j "$(nproc)" ${1:+--target "$@"}
