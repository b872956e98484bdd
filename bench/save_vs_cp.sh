#!/usr/bin/env bash
# Saving a whole partition against `cp -r` of the same files, in the same run, page cache
# warm, both writing into build/bench/.
#
#   bench/save_vs_cp.sh [IMAGE]
#
# IMAGE defaults to /tmp/bench/hundred-megabytes.img, made from the recipe beside this
# script (a few minutes, needs root and qemu):
#   /work/shared/tools/make-reiserfs-fixture -r -o /tmp/bench bench/recipes/hundred-megabytes
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/timing.sh
source bench/timing.sh
scripts/build.sh vantrel-cli >/dev/null
cli=build/bin/vantrel-cli
image=${1:-/tmp/bench/hundred-megabytes.img}
[ -f "$image" ] || { echo "no image $image (see the head of this script)" >&2; exit 2; }
work=build/bench/save
rm -rf "$work" && mkdir -p "$work"
runs=5

# The reference copy that cp copies: the same files, saved once.
"$cli" --disk "$image" save --out "$work/source" >/dev/null
bytes=$(du -sb --apparent-size "$work/source" | cut -f1)
files=$(find "$work/source" -type f | wc -l)
cat "$image" >/dev/null


cp_times=(); save_times=()
for _ in $(seq $runs); do
  rm -rf "$work/copy" "$work/saved"; sync
  cp_times+=("$(seconds cp -r "$work/source" "$work/copy")")
  save_times+=("$(seconds "$cli" --disk "$image" save --out "$work/saved")")
done
cp_median=$(printf '%s\n' "${cp_times[@]}" | median)
save_median=$(printf '%s\n' "${save_times[@]}" | median)
diff -r "$work/source" "$work/saved" >/dev/null && same=identical || same=DIFFERENT

awk -v bytes="$bytes" -v files="$files" -v cp="$cp_median" -v save="$save_median" -v runs="$runs" -v same="$same" 'BEGIN {
  printf "%d files, %.1f MB, %d runs each, medians (saved copies %s to the reference)\n", files, bytes / 1e6, runs, same
  printf "cp -r             %7.3f s  %7.0f MB/s\n", cp, bytes / 1e6 / cp
  printf "vantrel-cli save  %7.3f s  %7.0f MB/s  (catalogue build included)\n", save, bytes / 1e6 / save
  printf "save time / cp time: %.2f\n", save / cp
}'
