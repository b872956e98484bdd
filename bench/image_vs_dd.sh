#!/usr/bin/env bash
# `image` against its yardsticks, in the same run, with the page cache warm:
#   - a plain image to a file, against `dd bs=1M` of it to a file;
#   - an md RAID5 of four members (left-symmetric, chunk 128 KiB) to standard output,
#     against `cat` of the four members;
#   - the same array with member 2 missing, against `cat` and `dd bs=1M` of the three present
#     members (cat to /dev/null may splice without copying a byte; dd copies each once).
#
#   bench/image_vs_dd.sh [SIZE_MIB]
#
# The volume (SIZE_MIB, default 768) is random bytes, so that no zero is left as a hole; it
# and its members (bench/make_raid5_members.py) are made once under build/bench/. BENCH_RUNS
# (default 5) rounds; each round runs the two in turn; medians quoted.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/timing.sh
source bench/timing.sh
scripts/build.sh vantrel-cli >/dev/null
cli=$PWD/build/bin/vantrel-cli
runs=${BENCH_RUNS:-5}
size=${1:-768}

mkdir -p build/bench
volume=build/bench/image-volume-$size.img
[ -f "$volume" ] || head -c $((size << 20)) /dev/urandom >"$volume"
prefix=build/bench/image-raid5-$size
[ -f "$prefix-3.img" ] || bench/make_raid5_members.py "$volume" 128 "$prefix" 4
members=("$prefix"-{0,1,2,3}.img)
out=build/bench/image-out.img
for file in "$volume" "${members[@]}"; do cat "$file" >/dev/null; done  # warm the page cache

echo "volume: $size MiB of random bytes; RAID5 members: 4 x $(($(stat -c %s "${members[0]}") >> 20)) MiB"
paired "$runs" "image of the plain image to a file" "'$cli' --disk '$volume' image --out '$out'" \
  "dd bs=1M to a file" "dd if='$volume' of='$out.dd' bs=1M"
disks="--disk '${members[0]}' --disk '${members[1]}' --disk '${members[2]}' --disk '${members[3]}'"
paired "$runs" "image of the RAID5 to standard output" "'$cli' $disks --raid 5:128K:0,1,2,3 image --disk-index 4 --out - >/dev/null" \
  "cat of the four members" "cat ${members[*]@Q} >/dev/null"
present="--disk '${members[0]}' --disk '${members[1]}' --disk '${members[3]}'"
paired "$runs" "image of the RAID5 without member 2" \
  "'$cli' $present --raid 5:128K:0,1,missing,2 image --disk-index 3 --out - >/dev/null" \
  "cat of the three present members" "cat '${members[0]}' '${members[1]}' '${members[3]}' >/dev/null"
paired "$runs" "image of the RAID5 without member 2" \
  "'$cli' $present --raid 5:128K:0,1,missing,2 image --disk-index 3 --out - >/dev/null" \
  "dd bs=1M of the three present members" \
  "for m in '${members[0]}' '${members[1]}' '${members[3]}'; do dd if=\"\$m\" of=/dev/null bs=1M 2>/dev/null; done"
rm -f "$out" "$out.dd"
