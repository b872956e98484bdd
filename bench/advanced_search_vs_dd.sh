#!/usr/bin/env bash
# Throughput of the advanced partition search (every sector of a disk) against a plain
# `dd bs=1M` read of the same image file, in the same run, with the page cache warm.
#
#   bench/advanced_search_vs_dd.sh [IMAGE]
#
# Without IMAGE, makes a 1 GiB image of 16 copies of the sample disk (32 ReiserFS volumes,
# so that the root-node checks are exercised too) under build/bench/.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/timing.sh
source bench/timing.sh
scripts/build.sh vantrel-cli >/dev/null
cli=build/bin/vantrel-cli
image=${1:-}
if [ -z "$image" ]; then
  mkdir -p build/bench
  image=build/bench/sixteen-samples.img
  if [ ! -f "$image" ]; then
    zstd -q -d -c samples/sample-disk.img.zst > build/bench/sample.img
    for _ in $(seq 16); do cat build/bench/sample.img; done > "$image"
    rm build/bench/sample.img
  fi
fi
bytes=$(stat -c %s "$image")
runs=5



cat "$image" >/dev/null  # warm the page cache
dd_times=(); scan_times=()
for _ in $(seq $runs); do
  dd_times+=("$(seconds dd if="$image" of=/dev/null bs=1M)")
  scan_times+=("$(seconds "$cli" --disk "$image" partitions --search advanced --json)")
done
dd_median=$(printf '%s\n' "${dd_times[@]}" | median)
scan_median=$(printf '%s\n' "${scan_times[@]}" | median)
found=$("$cli" --disk "$image" partitions --search advanced --json | grep -c '"start"')

printf 'image: %s (%d MiB), %d runs each, medians\n' "$image" $((bytes >> 20)) $runs
awk -v bytes="$bytes" -v dd="$dd_median" -v scan="$scan_median" -v found="$found" 'BEGIN {
  printf "dd bs=1M          %8.3f s  %8.0f MiB/s\n", dd, bytes / 1048576 / dd
  printf "advanced search   %8.3f s  %8.0f MiB/s  (%d partitions found)\n", scan, bytes / 1048576 / scan, found
  printf "search throughput / dd throughput: %.2f\n", dd / scan
}'
