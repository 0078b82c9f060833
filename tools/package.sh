#!/usr/bin/env bash
# tools/package.sh [FOLDER]: builds orvel-disk-image_<version>_amd64.deb into
# FOLDER (default: the repository's folder) from the optimised build in
# build/, the one ./run and ./test make. Only the program and its Wayland
# helper are built; cpack stages, strips and packs them.
set -euo pipefail
output=$(realpath "${1:-$(dirname "$0")/..}")
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh orvel-disk-image orvel-disk-image-wayland
build_dir=${ORVEL_BUILD_DIR:-build}
rm -f "$build_dir"/orvel-disk-image_*.deb
(cd "$build_dir" && cpack -G DEB)
package=$(ls "$build_dir"/orvel-disk-image_*.deb)
mv -f "$package" "$output/"
echo "Built $output/$(basename "$package")"
