#!/usr/bin/env bash
# Clones one loop device onto another with orvel-disk-image and with
# `dd bs=32M iflag=direct oflag=direct conv=fsync`, alternately, BENCH_ROUNDS
# times each (default 5), and prints the median throughput of both, their
# spread, the program's resident size, and their ratio as the last line.
# dd gets conv=fsync because the program flushes the destination before it
# calls a copy complete; without it dd would be timed without that flush.
# Needs root. Size in MiB: BENCH_MIB (default 1024). The destination's
# logical sector size: BENCH_DESTINATION_SECTOR_SIZE (default 512; the source
# has 512-byte sectors). Program: ORVEL_BIN
# (default build/orvel-disk-image). Folder: BENCH_DIR (default /var/tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh

mib=${BENCH_MIB:-1024}
bench_start clone-vs-dd

bench_random_file "$bench_work/source.bin" "$mib"
# A destination whose blocks are all written once already, as on a disk: a
# sparse file would make the first round pay for the file system's allocation.
head -c $((mib << 20)) /dev/zero > "$bench_work/destination.bin"
bench_loop source_loop "$bench_work/source.bin"
bench_loop destination_loop "$bench_work/destination.bin" --sector-size "${BENCH_DESTINATION_SECTOR_SIZE:-512}"
sync

bytes=$((mib << 20))
ours=() theirs=() rss=()
for round in $(seq "$rounds"); do
  bench_time "$bench_work/ours" "$program" --log-dir "$bench_work" clone "$source_loop" "$destination_loop" --yes --quiet
  ours+=("$(echo "$bytes / $(bench_seconds "$bench_work/ours") / 1000000000" | bc -l)")
  rss+=("$(bench_rss_mib "$bench_work/ours")")
  bench_time "$bench_work/dd" dd if="$source_loop" of="$destination_loop" bs=32M iflag=direct oflag=direct conv=fsync
  theirs+=("$(echo "$bytes / $(bench_seconds "$bench_work/dd") / 1000000000" | bc -l)")
  printf 'round %d: orvel %.3f GB/s, dd %.3f GB/s\n' "$round" "${ours[-1]}" "${theirs[-1]}"
done
cmp "$bench_work/source.bin" "$bench_work/destination.bin" >/dev/null || { echo "clone-vs-dd: copies differ" >&2; exit 1; }

bench_summary "orvel-disk-image" "dd bs=32M direct conv=fsync"
