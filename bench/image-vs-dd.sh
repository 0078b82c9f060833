#!/usr/bin/env bash
# Images a loop device into a new file with orvel-disk-image and with
# `dd bs=32M iflag=direct oflag=direct conv=fsync` into a new file, alternately,
# BENCH_ROUNDS times each (default 5), and prints the median throughput of
# both, their spread, the program's resident size, and their ratio as the last
# line. Each round starts from a deleted file, as an imaging does. dd gets
# conv=fsync because the program flushes the image before it calls it complete.
# Needs root. Size in MiB: BENCH_MIB (default 1024). Program: ORVEL_BIN
# (default build/orvel-disk-image). The images go to BENCH_DIR (default
# /var/tmp), so its file system is the one measured.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh

mib=${BENCH_MIB:-1024}
bench_start image-vs-dd

bench_random_file "$bench_work/source.bin" "$mib"
bench_loop source_loop "$bench_work/source.bin"
sync

bytes=$((mib << 20))
image="$bench_work/copy.img"
ours=() theirs=() rss=()
for round in $(seq "$rounds"); do
  rm -f "$image"
  bench_time "$bench_work/ours" "$program" --log-dir "$bench_work" image "$source_loop" "$image" --yes --quiet
  ours+=("$(echo "$bytes / $(bench_seconds "$bench_work/ours") / 1000000000" | bc -l)")
  rss+=("$(bench_rss_mib "$bench_work/ours")")
  cmp "$bench_work/source.bin" "$image" >/dev/null || { echo "image-vs-dd: the image differs" >&2; exit 1; }
  rm -f "$image"
  bench_time "$bench_work/dd" dd if="$source_loop" of="$image" bs=32M iflag=direct oflag=direct conv=fsync
  theirs+=("$(echo "$bytes / $(bench_seconds "$bench_work/dd") / 1000000000" | bc -l)")
  printf 'round %d: orvel %.3f GB/s, dd %.3f GB/s\n' "$round" "${ours[-1]}" "${theirs[-1]}"
done

bench_summary "orvel-disk-image image" "dd bs=32M direct conv=fsync"
