#!/usr/bin/env bash
# A source of 16 blocks of 32 MiB with one unreadable sector in each block,
# served through orvel-faulty-fs (FUSE) and attached as a loop device, so that
# reads of those sectors fail with EIO in the kernel as on a failing disk.
# Copies it onto a blank loop device with `orvel-disk-image clone --retries 0`
# and with GNU ddrescue (`-d -D -r0`, direct reads and writes, no retries),
# alternately, BENCH_ROUNDS times each (default 5). Both copies must end with
# the source's bytes in every readable sector. Prints the median times, their
# spread, the program's resident size, and as the last line
# "ratio: X" = ddrescue's median time / the program's (above 1: the program
# is faster).
# Needs root, /dev/fuse and ddrescue (Debian: gddrescue). Program: ORVEL_BIN
# (default build/orvel-disk-image); FUSE server: ORVEL_FAULTY_FS (default
# orvel-faulty-fs beside the program). Folder: BENCH_DIR (default /var/tmp).
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/bench-common.sh

bench_start bad-blocks
faulty_fs=${ORVEL_FAULTY_FS:-$(dirname "$program")/orvel-faulty-fs}
[ -x "$faulty_fs" ] || { echo "bad-blocks: build orvel-faulty-fs first ($faulty_fs)" >&2; exit 1; }
command -v ddrescue >/dev/null || { echo "bad-blocks: needs GNU ddrescue (apt-get install gddrescue)" >&2; exit 1; }
[ -w /dev/fuse ] || { echo "bad-blocks: needs /dev/fuse" >&2; exit 1; }

blocks=16
block_sectors=65536
sectors=$((blocks * block_sectors))
# One unreadable sector per block, at a different place in each (never sector
# 0, where the program probes the sector size).
bad=()
for block in $(seq 0 $((blocks - 1))); do
  bad+=($((block * block_sectors + (block * 4099 + 1000) % block_sectors)))
done
bad_list=$(IFS=,; echo "${bad[*]}")

bench_random_file "$bench_work/source.bin" $((sectors / 2048))
mkdir "$bench_work/mnt"
"$faulty_fs" "$bench_work/mnt" --backing="$bench_work/source.bin" --fail-reads="$bad_list" --exit-with-parent \
  > "$bench_work/faulty-fs.log" 2>&1 &
bench_servers+=($!)
bench_mounts+=("$bench_work/mnt")
for _ in $(seq 200); do [ -e "$bench_work/mnt/disk.img" ] && break; sleep 0.05; done
[ -e "$bench_work/mnt/disk.img" ] || { echo "bad-blocks: orvel-faulty-fs did not mount" >&2; cat "$bench_work/faulty-fs.log" >&2; exit 1; }
bench_loop source_loop "$bench_work/mnt/disk.img"

# Whether a copy holds the source's bytes in every sector but the unreadable ones.
holds_readable_data() {
  local copy=$1 differing
  # cmp -l lists every differing byte (its offset counts from 1) and fails when there is one.
  differing=$({ cmp -l "$bench_work/source.bin" "$copy" || true; } | awk '{ print int(($1 - 1) / 512) }' | sort -un)
  for sector in $differing; do
    [[ ",$bad_list," == *",$sector,"* ]] || { echo "bad-blocks: sector $sector of $copy differs" >&2; return 1; }
  done
}

ours=() theirs=() rss=()
for round in $(seq "$rounds"); do
  rm -f "$bench_work/ours.bin" "$bench_work/theirs.bin" "$bench_work/mapfile"
  truncate -s $((sectors * 512)) "$bench_work/ours.bin" "$bench_work/theirs.bin"
  bench_loop ours_loop "$bench_work/ours.bin"
  bench_loop theirs_loop "$bench_work/theirs.bin"

  bench_time "$bench_work/ours" "$program" --log-dir "$bench_work" clone "$source_loop" "$ours_loop" \
    --retries 0 --yes --quiet
  ours+=("$(bench_seconds "$bench_work/ours")")
  rss+=("$(bench_rss_mib "$bench_work/ours")")
  bench_time "$bench_work/theirs" ddrescue -d -D -f -r0 "$source_loop" "$theirs_loop" "$bench_work/mapfile"
  theirs+=("$(bench_seconds "$bench_work/theirs")")
  printf 'round %d: orvel %.2f s, ddrescue %.2f s\n' "$round" "${ours[-1]}" "${theirs[-1]}"

  bench_unloop "$ours_loop" "$theirs_loop"
  holds_readable_data "$bench_work/ours.bin"
  holds_readable_data "$bench_work/theirs.bin"
done
# One log per round (their names have spaces: they are named after the source).
for log in "$bench_work"/*.log; do
  [ "$log" = "$bench_work/faulty-fs.log" ] && continue
  [ "$(grep -c 'Bad Sector encountered' "$log")" -eq "$blocks" ] || { echo "bad-blocks: $log does not list $blocks bad sectors" >&2; exit 1; }
done

ours_median=$(bench_median "${ours[@]}")
theirs_median=$(bench_median "${theirs[@]}")
printf 'orvel-disk-image clone --retries 0: %.2f s (median of %d, %.2f to %.2f), resident size %.0f MiB\n' \
  "$ours_median" "$rounds" "$(bench_min "${ours[@]}")" "$(bench_max "${ours[@]}")" "$(bench_median "${rss[@]}")"
printf 'ddrescue -d -D -r0: %.2f s (median of %d, %.2f to %.2f)\n' \
  "$theirs_median" "$rounds" "$(bench_min "${theirs[@]}")" "$(bench_max "${theirs[@]}")"
printf 'ratio: %.2f\n' "$(echo "$theirs_median / $ours_median" | bc -l)"
