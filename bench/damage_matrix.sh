#!/usr/bin/env bash
# The damage matrix: kernel-made volumes (the test fixtures), each damaged the ways disks come
# in, saved by `save --start 0 --file-search advanced` and, beside it, repaired on a copy by
# the file system's own `reiserfsck --rebuild-tree --scan-whole-partition` and then saved by
# our quick build. Each cell: files at their path with their content / files of the volume
# (and, after a "+", files at their path with other content).
#
#   bench/damage_matrix.sh
#
# Needs mkfs.ext4, mkreiserfs and reiserfsck (Debian: e2fsprogs, reiserfsprogs); mkfs.xfs
# (xfsprogs) when installed. Works in build/bench/damage/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh vantrel-cli >/dev/null
cli=$PWD/build/bin/vantrel-cli
work=build/bench/damage
rm -rf "$work" && mkdir -p "$work"

# name, fixture, partition index, start sector, sectors, block size, format
volumes=(
  "bare-36 bare-36 0 0 98304 4096 3.6"
  "mixed-36 mbr-mixed 1 2048 81920 4096 3.6"
  "mixed-35 mbr-mixed 5 94208 24576 1024 3.5"
)
damages=(none mkfs.ext4 mkfs.xfs zeroed-start mkreiserfs scattered-1% scattered-5% tail-half internal-nodes)

# damage KIND IMAGE BLOCK_SIZE FORMAT: damages the volume image in place.
damage() {
  local kind=$1 image=$2 block=$3 format=$4
  case "$kind" in
    none) ;;
    mkfs.ext4) mkfs.ext4 -q -F -E nodiscard "$image" >/dev/null 2>&1 ;;
    mkfs.xfs) mkfs.xfs -q -f -K "$image" >/dev/null 2>&1 ;;
    mkreiserfs) mkreiserfs -f -f -q -b "$block" --format "$format" "$image" >/dev/null 2>&1 ;;
    *) python3 - "$kind" "$image" "$block" <<'PY'
import random, sys
kind, image, block = sys.argv[1], sys.argv[2], int(sys.argv[3])
with open(image, "r+b") as f:
    data = bytearray(f.read())
    blocks = len(data) // block
    if kind == "zeroed-start":
        data[: max(1 << 20, len(data) // 6)] = bytes(max(1 << 20, len(data) // 6))
    elif kind.startswith("scattered-"):
        share = float(kind[len("scattered-"):-1]) / 100
        for b in random.Random(7).sample(range(blocks), int(blocks * share)):
            data[b * block:(b + 1) * block] = bytes(block)
    elif kind == "tail-half":
        data[len(data) // 2:] = bytes(len(data) - len(data) // 2)
    elif kind == "internal-nodes":
        for b in range(blocks):
            node = data[b * block:(b + 1) * block]
            level, count, free = (int.from_bytes(node[i:i + 2], "little") for i in (0, 2, 4))
            if 2 <= level <= 5 and count > 0 and free == block - 24 - 16 * count - 8 * (count + 1):
                data[b * block:(b + 1) * block] = bytes(block)
    f.seek(0)
    f.write(data)
PY
    ;;
  esac
}

# score MANIFEST INDEX FOLDER: "right/total" (and "+wrong" when some are).
score() {
  read -r right wrong missing total < <(python3 bench/score_saved_tree.py "$1" "$2" "$3")
  if [ "$wrong" -gt 0 ]; then echo "$right/$total +$wrong"; else echo "$right/$total"; fi
}

printf '| volume | damage | ours | reiserfsck --rebuild-tree, then read |\n|---|---|---|---|\n'
for volume in "${volumes[@]}"; do
  read -r name fixture index start sectors block format <<<"$volume"
  manifest=$work/$fixture.manifest.json
  [ -f "$manifest" ] || zstd -q -d -c "tests/data/$fixture.manifest.json.zst" >"$manifest"
  [ -f "$work/$fixture.whole" ] || zstd -q -d -c "tests/data/$fixture.img.zst" >"$work/$fixture.whole"
  dd if="$work/$fixture.whole" of="$work/$name.img" bs=512 skip="$start" count="$sectors" status=none
  for kind in "${damages[@]}"; do
    if [ "$kind" = mkfs.xfs ] && ! command -v mkfs.xfs >/dev/null; then continue; fi
    ours=$work/$name-$kind.img
    cp "$work/$name.img" "$ours"
    damage "$kind" "$ours" "$block" "$format"
    rm -rf "$work/out"
    "$cli" --disk "$ours" save --start 0 --file-search advanced --out "$work/out" >/dev/null 2>&1 || true
    ours_score=$(score "$manifest" "$index" "$work/out")
    cp "$ours" "$ours.fsck"
    rm -rf "$work/out"
    # 0: nothing to mend, 1: mended; more: it gave up.
    fsck=0
    echo Yes | reiserfsck --rebuild-tree --scan-whole-partition -f -q "$ours.fsck" >/dev/null 2>&1 || fsck=$?
    if [ "$fsck" -le 1 ]; then
      "$cli" --disk "$ours.fsck" save --start 0 --out "$work/out" >/dev/null 2>&1 || true
      peer_score=$(score "$manifest" "$index" "$work/out")
    else
      peer_score="fails"
    fi
    printf '| %s | %s | %s | %s |\n' "$name" "$kind" "$ours_score" "$peer_score"
    rm -f "$ours" "$ours.fsck"
  done
done
