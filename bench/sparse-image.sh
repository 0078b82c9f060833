#!/usr/bin/env bash
# Images a loop device that is three quarters zeros (4 MiB of random bytes
# at the start of every 16 MiB, the rest zeros written out, as on a drive
# whose free space was once zeroed) into a new file with orvel-disk-image,
# with `dd bs=32M iflag=direct oflag=direct conv=fsync`, and with dd that
# leaves zeros as holes (`bs=1M ... conv=sparse,fsync`; at bs=32M every block
# of this layout holds data, so conv=sparse would skip nothing), alternately,
# BENCH_ROUNDS times each (default 3). Prints the median throughput of each
# with its spread, the storage each image takes (du), the program's resident
# size, and the program's ratio to the plain dd as the last line.
# Needs root. Size in MiB: BENCH_MIB (default 1024, a multiple of 16).
# Program: ORVEL_BIN (default build/orvel-disk-image). Folder: BENCH_DIR
# (default /var/tmp), whose file system is the one measured.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh

mib=${BENCH_MIB:-1024}
bench_start sparse-image

# Every byte is written, zeros included: a source with holes would read them
# without touching the disk, which no drive does.
for _ in $(seq $((mib / 16))); do
  head -c $((4 << 20)) /dev/urandom
  head -c $((12 << 20)) /dev/zero
done > "$bench_work/source.bin"
bench_loop source_loop "$bench_work/source.bin"
sync

bytes=$((mib << 20))
image="$bench_work/copy.img"
names=(orvel dd dd-sparse)
declare -A speeds=() stored=()
rss=()
run_round() {
  local name=$1
  shift
  rm -f "$image"
  bench_time "$bench_work/$name" "$@"
  speeds[$name]+="$(echo "$bytes / $(bench_seconds "$bench_work/$name") / 1000000000" | bc -l) "
  stored[$name]+="$(du -B1 "$image" | cut -f1) "
  cmp "$bench_work/source.bin" "$image" >/dev/null || { echo "sparse-image: the $name image differs" >&2; exit 1; }
}
for round in $(seq "$rounds"); do
  run_round orvel "$program" --log-dir "$bench_work" image "$source_loop" "$image" --yes --quiet
  rss+=("$(bench_rss_mib "$bench_work/orvel")")
  run_round dd dd if="$source_loop" of="$image" bs=32M iflag=direct oflag=direct conv=fsync
  run_round dd-sparse dd if="$source_loop" of="$image" bs=1M iflag=direct oflag=direct conv=sparse,fsync
  printf 'round %d:' "$round"
  for name in "${names[@]}"; do
    read -ra figures <<< "${speeds[$name]}"
    printf ' %s %.3f GB/s' "$name" "${figures[-1]}"
  done
  echo
done

for name in "${names[@]}"; do
  read -ra figures <<< "${speeds[$name]}"
  read -ra sizes <<< "${stored[$name]}"
  printf '%s: %.3f GB/s (median of %d, %.3f to %.3f), image takes %.0f MiB (du) of %d\n' "$name" \
    "$(bench_median "${figures[@]}")" "$rounds" "$(bench_min "${figures[@]}")" "$(bench_max "${figures[@]}")" \
    "$(echo "$(bench_median "${sizes[@]}") / 1048576" | bc -l)" "$mib"
done
printf 'orvel-disk-image resident size: %.0f MiB\n' "$(bench_median "${rss[@]}")"
read -ra ours <<< "${speeds[orvel]}"
read -ra theirs <<< "${speeds[dd]}"
printf 'ratio: %.2f\n' "$(echo "$(bench_median "${ours[@]}") / $(bench_median "${theirs[@]}")" | bc -l)"
