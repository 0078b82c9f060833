# Helpers shared by the benchmark scripts (sourced, not run). They keep track
# of what a script made (loop devices, FUSE servers, mounts, its folder) and
# remove exactly that when the script ends, however it ends.

bench_loops=()
bench_servers=()
bench_mounts=()
bench_work=""

bench_cleanup() {
  local loop pid mount
  for loop in "${bench_loops[@]}"; do losetup -d "$loop" 2>/dev/null || true; done
  for pid in "${bench_servers[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${bench_servers[@]}"; do wait "$pid" 2>/dev/null || true; done
  for mount in "${bench_mounts[@]}"; do umount -l "$mount" 2>/dev/null || true; done
  [ -z "$bench_work" ] || rm -rf "$bench_work"
}
trap bench_cleanup EXIT

# bench_start NAME: checks root and the program, makes the work folder.
bench_start() {
  local name=$1
  program=${ORVEL_BIN:-build/orvel-disk-image}
  rounds=${BENCH_ROUNDS:-5}
  [ "$(id -u)" -eq 0 ] || { echo "$name: needs root (loop devices)" >&2; exit 1; }
  [ -x "$program" ] || { echo "$name: build the program first ($program)" >&2; exit 1; }
  bench_work=$(mktemp -d "${BENCH_DIR:-/var/tmp}/orvel-bench.XXXXXX")
}

# bench_loop VAR FILE [LOSETUP_OPTION...]: attaches FILE as a loop device with
# direct I/O and puts its path into VAR (not through $(...): the list of loops
# to remove lives here).
bench_loop() {
  local -n bench_loop_path=$1
  bench_loop_path=$(losetup --find --show --direct-io=on "${@:3}" "$2")
  bench_loops+=("$bench_loop_path")
}

# bench_unloop LOOP...: detaches loop devices made by bench_loop before the end.
bench_unloop() {
  local loop other kept
  for loop in "$@"; do
    losetup -d "$loop"
    kept=()
    for other in "${bench_loops[@]}"; do [ "$other" = "$loop" ] || kept+=("$other"); done
    bench_loops=("${kept[@]}")
  done
}

# bench_random_file PATH MIB: a file of random bytes (a sparse file would read
# without touching the disk).
bench_random_file() {
  head -c $(($2 << 20)) /dev/urandom > "$1"
}

# bench_time OUTPUT COMMAND...: runs COMMAND with its output dropped; writes
# "SECONDS MAX_RSS_KIB" to OUTPUT. Fails when COMMAND fails.
bench_time() {
  local output=$1 start end
  shift
  start=$(date +%s.%N)
  /usr/bin/time -f '%M' -o "$output.rss" "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; return 1; }
  end=$(date +%s.%N)
  echo "$(echo "$end - $start" | bc -l) $(cat "$output.rss")" > "$output"
}

bench_seconds() { cut -d' ' -f1 "$1"; }
bench_rss_mib() { echo "$(cut -d' ' -f2 "$1") / 1024" | bc -l; }

bench_median() { printf '%s\n' "$@" | sort -g | sed -n "$(( ($# + 1) / 2 ))p"; }
bench_min() { printf '%s\n' "$@" | sort -g | head -1; }
bench_max() { printf '%s\n' "$@" | sort -g | tail -1; }


# bench_summary LABEL RIVAL_LABEL: prints the medians and spreads of the
# throughputs in the arrays `ours` and `theirs` (GB/s), the program's median
# resident size (array `rss`), and their ratio as the last line.
bench_summary() {
  local ours_median theirs_median
  ours_median=$(bench_median "${ours[@]}")
  theirs_median=$(bench_median "${theirs[@]}")
  printf '%s: %.3f GB/s (median of %d, %.3f to %.3f), resident size %.0f MiB\n' "$1" \
    "$ours_median" "$rounds" "$(bench_min "${ours[@]}")" "$(bench_max "${ours[@]}")" "$(bench_median "${rss[@]}")"
  printf '%s: %.3f GB/s (median of %d, %.3f to %.3f)\n' "$2" \
    "$theirs_median" "$rounds" "$(bench_min "${theirs[@]}")" "$(bench_max "${theirs[@]}")"
  printf 'ratio: %.2f\n' "$(echo "$ours_median / $theirs_median" | bc -l)"
}
