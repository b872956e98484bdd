#!/usr/bin/env bash
# The main job on the bundled sample disk: list the disk, then find its ReiserFS partitions.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh vantrel-cli
sample=build/sample-disk.img
[ -f "$sample" ] || zstd -q -d samples/sample-disk.img.zst -o "$sample"
cli=build/bin/vantrel-cli
echo "== The disk"
$cli --disk "$sample" disks
echo
echo "== Its ReiserFS partitions, from the partition tables"
$cli --disk "$sample" partitions --search quick
echo
echo "== The same from every sector of the disk"
$cli --disk "$sample" partitions --search advanced
