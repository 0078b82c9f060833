#!/usr/bin/env bash
# What verification costs. Alternately, BENCH_ROUNDS times each (default 5):
# a clone of one loop device onto another without and with --verify, and an
# imaging into a new file without and with --verify, each followed by the
# time dd takes to read the destination once (`dd bs=32M iflag=direct`).
# Prints the medians and spreads, the program's resident size, and for each
# the cost of verifying beyond that one read, as a share of the copy alone:
#   (with --verify - without - one read) / without
# The imaging rounds include the SHA-256 checksum file that every imaging
# writes. Needs root. Size in MiB: BENCH_MIB (default 1024). Program:
# ORVEL_BIN (default build/orvel-disk-image). Folder: BENCH_DIR (default /var/tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh

mib=${BENCH_MIB:-1024}
bench_start verify-cost

bench_random_file "$bench_work/source.bin" "$mib"
head -c $((mib << 20)) /dev/zero > "$bench_work/destination.bin"
bench_loop source_loop "$bench_work/source.bin"
bench_loop destination_loop "$bench_work/destination.bin"
sync

plain=() verified=() plain_read=() image=() image_verified=() image_read=() rss=()
for round in $(seq "$rounds"); do
  bench_time "$bench_work/t" "$program" --log-dir "$bench_work" clone "$source_loop" "$destination_loop" --yes --quiet
  plain+=("$(bench_seconds "$bench_work/t")")
  bench_time "$bench_work/t" "$program" --log-dir "$bench_work" clone "$source_loop" "$destination_loop" --yes --quiet --verify
  verified+=("$(bench_seconds "$bench_work/t")")
  rss+=("$(bench_rss_mib "$bench_work/t")")
  bench_time "$bench_work/t" dd if="$destination_loop" of=/dev/null bs=32M iflag=direct
  plain_read+=("$(bench_seconds "$bench_work/t")")

  rm -f "$bench_work/image.img" "$bench_work/image.img.sha256"
  bench_time "$bench_work/t" "$program" --log-dir "$bench_work" image "$source_loop" "$bench_work/image.img" --yes --quiet
  image+=("$(bench_seconds "$bench_work/t")")
  rm -f "$bench_work/image.img" "$bench_work/image.img.sha256"
  bench_time "$bench_work/t" "$program" --log-dir "$bench_work" image "$source_loop" "$bench_work/image.img" --yes --quiet --verify
  image_verified+=("$(bench_seconds "$bench_work/t")")
  bench_time "$bench_work/t" dd if="$bench_work/image.img" of=/dev/null bs=32M iflag=direct
  image_read+=("$(bench_seconds "$bench_work/t")")
  printf 'round %d: clone %.2f s, with --verify %.2f s, read %.2f s; image %.2f s, with --verify %.2f s, read %.2f s\n' \
    "$round" "${plain[-1]}" "${verified[-1]}" "${plain_read[-1]}" "${image[-1]}" "${image_verified[-1]}" "${image_read[-1]}"
done
cmp "$bench_work/source.bin" "$bench_work/destination.bin" >/dev/null || { echo "verify-cost: clone differs" >&2; exit 1; }
cmp "$bench_work/source.bin" "$bench_work/image.img" >/dev/null || { echo "verify-cost: image differs" >&2; exit 1; }
(cd "$bench_work" && sha256sum -c --quiet image.img.sha256) || { echo "verify-cost: checksum file wrong" >&2; exit 1; }

summary() {
  local name=$1 without with read
  shift
  without=$(bench_median "${@:1:$rounds}")
  with=$(bench_median "${@:$((rounds + 1)):$rounds}")
  read=$(bench_median "${@:$((2 * rounds + 1)):$rounds}")
  printf '%s: %.2f s (%.2f to %.2f), with --verify %.2f s (%.2f to %.2f), one read %.2f s; cost beyond the read: %+.1f %%\n' \
    "$name" "$without" "$(bench_min "${@:1:$rounds}")" "$(bench_max "${@:1:$rounds}")" \
    "$with" "$(bench_min "${@:$((rounds + 1)):$rounds}")" "$(bench_max "${@:$((rounds + 1)):$rounds}")" \
    "$read" "$(echo "($with - $without - $read) / $without * 100" | bc -l)"
}
summary clone "${plain[@]}" "${verified[@]}" "${plain_read[@]}"
summary image "${image[@]}" "${image_verified[@]}" "${image_read[@]}"
printf 'resident size with --verify: %.0f MiB\n' "$(bench_median "${rss[@]}")"
