#!/usr/bin/env bash
# Restores an image file (on the file system of BENCH_DIR) onto a loop device
# with `orvel-disk-image restore --no-verify` and with
# `dd bs=32M iflag=direct oflag=direct conv=fsync`, alternately, BENCH_ROUNDS
# times each (default 5), and prints the median throughput of both, their
# spread, the program's resident size, and their ratio as the last line. The
# image has no checksum file, so the program reads it once, as dd does.
# Needs root. Size in MiB: BENCH_MIB (default 1024). Program: ORVEL_BIN
# (default build/orvel-disk-image). Folder: BENCH_DIR (default /var/tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh

mib=${BENCH_MIB:-1024}
bench_start restore-vs-dd

image="$bench_work/source.img"
bench_random_file "$image" "$mib"
head -c $((mib << 20)) /dev/zero > "$bench_work/destination.bin"
bench_loop destination_loop "$bench_work/destination.bin"
sync

bytes=$((mib << 20))
ours=() theirs=() rss=()
for round in $(seq "$rounds"); do
  bench_time "$bench_work/ours" "$program" --log-dir "$bench_work" restore "$image" "$destination_loop" \
    --no-verify --yes --quiet
  ours+=("$(echo "$bytes / $(bench_seconds "$bench_work/ours") / 1000000000" | bc -l)")
  rss+=("$(bench_rss_mib "$bench_work/ours")")
  cmp "$image" "$bench_work/destination.bin" >/dev/null || { echo "restore-vs-dd: the restored device differs" >&2; exit 1; }
  bench_time "$bench_work/dd" dd if="$image" of="$destination_loop" bs=32M iflag=direct oflag=direct conv=fsync
  theirs+=("$(echo "$bytes / $(bench_seconds "$bench_work/dd") / 1000000000" | bc -l)")
  printf 'round %d: orvel %.3f GB/s, dd %.3f GB/s\n' "$round" "${ours[-1]}" "${theirs[-1]}"
done

bench_summary "orvel-disk-image restore" "dd bs=32M direct conv=fsync"
