#!/usr/bin/env bash
# Clones one loop device onto another with several builds of the program
# (for instance built with different numbers of blocks in flight) and with
# `dd bs=32M iflag=direct oflag=direct conv=fsync`, alternately, BENCH_ROUNDS
# times each (default 5), and prints each one's median throughput, spread and
# resident size. Builds: BENCH_PROGRAMS, a space-separated list of
# NAME=PATH (default: "orvel=build/orvel-disk-image"). Needs root. Size in
# MiB: BENCH_MIB (default 2048). Folder: BENCH_DIR (default /var/tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh

mib=${BENCH_MIB:-2048}
bench_start clone-depths
read -r -a programs <<< "${BENCH_PROGRAMS:-orvel=build/orvel-disk-image}"

bench_random_file "$bench_work/source.bin" "$mib"
head -c $((mib << 20)) /dev/zero > "$bench_work/destination.bin"
bench_loop source_loop "$bench_work/source.bin"
bench_loop destination_loop "$bench_work/destination.bin"
sync

bytes=$((mib << 20))
declare -A speeds rss
for round in $(seq "$rounds"); do
  line="round $round:"
  for entry in "${programs[@]}"; do
    name=${entry%%=*}
    bench_time "$bench_work/ours" "${entry#*=}" --log-dir "$bench_work" clone "$source_loop" "$destination_loop" --yes --quiet
    speeds[$name]+=" $(echo "$bytes / $(bench_seconds "$bench_work/ours") / 1000000000" | bc -l)"
    rss[$name]+=" $(bench_rss_mib "$bench_work/ours")"
    line+=$(printf ' %s %.3f GB/s,' "$name" "$(echo "${speeds[$name]}" | awk '{print $NF}')")
  done
  bench_time "$bench_work/dd" dd if="$source_loop" of="$destination_loop" bs=32M iflag=direct oflag=direct conv=fsync
  speeds[dd]+=" $(echo "$bytes / $(bench_seconds "$bench_work/dd") / 1000000000" | bc -l)"
  printf '%s dd %.3f GB/s\n' "$line" "$(echo "${speeds[dd]}" | awk '{print $NF}')"
done
cmp "$bench_work/source.bin" "$bench_work/destination.bin" >/dev/null || { echo "clone-depths: copies differ" >&2; exit 1; }

dd_median=$(bench_median ${speeds[dd]})
for entry in "${programs[@]}"; do
  name=${entry%%=*}
  # shellcheck disable=SC2086 # the lists are words on purpose
  median=$(bench_median ${speeds[$name]})
  printf '%s: %.3f GB/s (median of %d, %.3f to %.3f), resident size %.0f MiB, %.2f x dd\n' "$name" "$median" \
    "$rounds" "$(bench_min ${speeds[$name]})" "$(bench_max ${speeds[$name]})" "$(bench_median ${rss[$name]})" \
    "$(echo "$median / $dd_median" | bc -l)"
done
# shellcheck disable=SC2086
printf 'dd bs=32M direct conv=fsync: %.3f GB/s (median of %d, %.3f to %.3f)\n' "$dd_median" "$rounds" \
  "$(bench_min ${speeds[dd]})" "$(bench_max ${speeds[dd]})"
