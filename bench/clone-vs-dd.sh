#!/usr/bin/env bash
# Clones one loop device onto another with orvel-disk-image and with
# `dd bs=32M iflag=direct oflag=direct`, alternately, three times each, and
# prints the median throughput of both and their ratio as the last line.
# Needs root. Size in MiB: BENCH_MIB (default 1024). Program: ORVEL_BIN
# (default build/orvel-disk-image).
set -euo pipefail
cd "$(dirname "$0")/.."

mib=${BENCH_MIB:-1024}
program=${ORVEL_BIN:-build/orvel-disk-image}
rounds=3
[ "$(id -u)" -eq 0 ] || { echo "clone-vs-dd: needs root (loop devices)" >&2; exit 1; }
[ -x "$program" ] || { echo "clone-vs-dd: build the program first ($program)" >&2; exit 1; }

work=$(mktemp -d "${BENCH_DIR:-/var/tmp}/orvel-bench.XXXXXX")
loops=()
cleanup() {
  for loop in "${loops[@]}"; do losetup -d "$loop" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# A source with real data (a sparse one would read without touching the disk).
head -c $((mib << 20)) /dev/urandom > "$work/source.bin"
truncate -s $((mib << 20)) "$work/destination.bin"
source_loop=$(losetup --find --show --direct-io=on "$work/source.bin"); loops+=("$source_loop")
destination_loop=$(losetup --find --show --direct-io=on "$work/destination.bin"); loops+=("$destination_loop")
sync

seconds_of() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  echo "$end - $start" | bc -l
}

median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }

bytes=$((mib << 20))
ours=() theirs=()
for round in $(seq "$rounds"); do
  t=$(seconds_of "$program" --log-dir "$work" clone "$source_loop" "$destination_loop" --yes --quiet)
  ours+=("$(echo "$bytes / $t / 1000000000" | bc -l)")
  t=$(seconds_of dd if="$source_loop" of="$destination_loop" bs=32M iflag=direct oflag=direct)
  theirs+=("$(echo "$bytes / $t / 1000000000" | bc -l)")
  printf 'round %d: orvel %.3f GB/s, dd %.3f GB/s\n' "$round" "${ours[-1]}" "${theirs[-1]}"
done
cmp "$work/source.bin" "$work/destination.bin" >/dev/null || { echo "clone-vs-dd: copies differ" >&2; exit 1; }

ours_median=$(median "${ours[@]}")
theirs_median=$(median "${theirs[@]}")
printf 'orvel-disk-image: %.3f GB/s (median of %d)\n' "$ours_median" "$rounds"
printf 'dd bs=32M direct: %.3f GB/s (median of %d)\n' "$theirs_median" "$rounds"
printf 'ratio: %.2f\n' "$(echo "$ours_median / $theirs_median" | bc -l)"
