#!/usr/bin/env bash
# The advanced catalogue build of a logical volume on an md RAID5, put together in memory
# from its member images, against `dd bs=1M` of every member image one after the other, in
# the same run, with the page cache warm.
#
#   bench/raid_build_vs_dd.sh [MEMBER_IMAGE...]
#
# Without images, the four members of tests/data/nas (RAID5, chunk 128 KiB, LVM2 volume
# group "store") are unpacked under build/bench/. The logical volume built is the largest
# one found. BENCH_RUNS (default 5) rounds; each round runs the two in turn; medians quoted.
# A NAS share at a realistic size comes from bench/recipes/nas-share (see bench/README.md).
#
#   RAID_VOLUME=IMG bench/raid_build_vs_dd.sh
#
# splits the ReiserFS volume IMG (for instance one of make_synthetic_volume --write-bodies)
# into four RAID5 members (left-symmetric, chunk 128 KiB; bench/make_raid5_members.py) and
# builds the array put together by hand (--raid), for volumes larger than the fixtures.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/timing.sh
source bench/timing.sh
scripts/build.sh vantrel-cli >/dev/null
cli=$PWD/build/bin/vantrel-cli
runs=${BENCH_RUNS:-5}

members=("$@")
byHand=()
if [ -n "${RAID_VOLUME:-}" ]; then
  mkdir -p build/bench
  prefix=build/bench/raid5-$(basename "${RAID_VOLUME%.img}")
  [ -f "$prefix-3.img" ] || bench/make_raid5_members.py "$RAID_VOLUME" 128 "$prefix" 4
  members=("$prefix"-{0,1,2,3}.img)
  byHand=(--raid 5:128K:0,1,2,3)
elif [ ${#members[@]} -eq 0 ]; then
  mkdir -p build/bench
  for i in 0 1 2 3; do
    image=build/bench/nas-$i.img
    [ -f "$image" ] || zstd -q -d -c tests/data/nas-$i.img.zst > "$image"
    members+=("$image")
  done
fi
disks=("${byHand[@]}")
for image in "${members[@]}"; do disks+=(--disk "$image"); done

# The largest logical volume (or array, when there is none) listed after the members.
read -r index size < <("$cli" "${disks[@]}" disks --json | python3 -c '
import json, sys
disks = json.load(sys.stdin)["disks"]
stacked = [d for d in disks if d.get("kind")]
best = max((d for d in stacked if d["kind"] == "lv"), key=lambda d: d["size"], default=None) or \
       max(stacked, key=lambda d: d["size"])
print(best["index"], best["size"])')
total=0
for image in "${members[@]}"; do total=$((total + $(stat -c %s "$image"))); done

# The build lists the root only: printing a million entries as JSON costs more than building them.
build="'$cli' ${disks[*]@Q} ls --disk-index $index --file-search advanced"
dd="for m in ${members[*]@Q}; do dd if=\"\$m\" of=/dev/null bs=1M 2>/dev/null; done"
for image in "${members[@]}"; do cat "$image" >/dev/null; done  # warm the page cache
sh -c "$build" >/dev/null 2>&1 || { echo "the advanced build failed: $build" >&2; exit 1; }
files=$(sh -c "$build --json" 2>/dev/null | grep -c '"path"' || true)

printf 'members: %d images, %d MiB in all; volume Disk%d: %d MiB, %d entries listed\n' \
  ${#members[@]} $((total >> 20)) "$index" $((size >> 20)) "$files"
paired "$runs" "advanced build of the volume" "$build" "dd bs=1M of every member" "$dd"
if [ -n "${RAID_VOLUME:-}" ]; then
  # What the array itself costs: the same build on the volume image it was split from.
  plain="'$cli' --disk ${RAID_VOLUME@Q} ls --start 0 --file-search advanced"
  cat "$RAID_VOLUME" >/dev/null
  paired "$runs" "advanced build of the volume on the array" "$build" "advanced build of the volume image" "$plain"
fi
