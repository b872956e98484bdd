#!/usr/bin/env bash
# Copying a whole partition out of `vantrel-cli mount` with `cp -r`, beside `vantrel-cli save`
# of the same partition and `cp -r` of the same files as plain files, in the same run
# (the commands run in turn, medians and their ratio), and `find` over a fresh mount.
#
#   bench/mount_vs_save.sh [IMAGE] [RUNS]
#
# The copies are written under build/bench/mount, or under $BENCH_WORK (for example a folder
# in /dev/shm, so that creating 20,000 files on the destination does not hide the reading).
#
# IMAGE defaults to /tmp/bench/many-files.img (20,100 files), made from the recipe beside
# this script (a few minutes, needs root and qemu):
#   /work/shared/tools/make-reiserfs-fixture -r -o /tmp/bench bench/recipes/many-files
# Needs /dev/fuse and fusermount3. The image is read into the page cache first, so every
# command reads it from memory; each mount is fresh, so nothing comes from the mount's cache.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/timing.sh
scripts/build.sh vantrel-cli >/dev/null
cli=$PWD/build/bin/vantrel-cli
image=$(realpath "${1:-/tmp/bench/many-files.img}")
runs=${2:-3}
[ -f "$image" ] || { echo "no image $image (see the head of this script)" >&2; exit 2; }
work=${BENCH_WORK:-$PWD/build/bench/mount}
mnt=$work/mnt
fusermount3 -u "$mnt" 2>/dev/null || true
rm -rf "$work" && mkdir -p "$mnt"
trap 'fusermount3 -u "$mnt" 2>/dev/null || true' EXIT
cat "$image" >/dev/null

# The reference: the same files saved once, as plain files for cp.
"$cli" --disk "$image" save --out "$work/plain" >/dev/null 2>&1
files=$(find "$work/plain" -type f | wc -l)
bytes=$(du -sb --apparent-size "$work/plain" | cut -f1)

# Through the mount: the files are the same bytes as saved (names as on the disk).
"$cli" --disk "$image" mount "$mnt" >/dev/null 2>&1
start=$(date +%s.%N)
entries=$(find "$mnt" | wc -l)
end=$(date +%s.%N)
find_seconds=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
cp -r "$mnt/." "$work/check"
fusermount3 -u "$mnt"
(cd "$work/plain" && find . -type f -exec sha256sum {} + | cut -d" " -f1 | sort) >"$work/plain.sums"
(cd "$work/check" && find . -type f -exec sha256sum {} + | cut -d" " -f1 | sort) >"$work/check.sums"
cmp -s "$work/plain.sums" "$work/check.sums" && same=identical || same=DIFFERENT
rm -rf "$work/check"

# Each command starts from an empty destination; paths must hold no single quote.
mount_cp="rm -rf $work/out && $cli --disk $image mount $mnt >/dev/null 2>&1 && cp -r $mnt/. $work/out; s=\$?; fusermount3 -u $mnt; exit \$s"
save="rm -rf $work/out && exec $cli --disk $image save --out $work/out >/dev/null 2>&1"
plain_cp="rm -rf $work/out && exec cp -r $work/plain/. $work/out"

echo "$files files, $((bytes / 1000000)) MB; contents through the mount $same to the saved files"
echo "find over a fresh mount: $entries entries in $find_seconds s"
paired "$runs" "mount + cp -r" "$mount_cp" "vantrel-cli save" "$save"
paired "$runs" "mount + cp -r" "$mount_cp" "cp -r of the plain files" "$plain_cp"
