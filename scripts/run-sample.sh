#!/usr/bin/env bash
# The main job on the bundled sample disk: list the disk, find its ReiserFS partitions, and
# recover every file of each into build/recovered/.
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
echo
for partition in 0 1; do
  echo "== Recovering every file of ReiserFS $partition into build/recovered/partition-$partition"
  $cli --disk "$sample" save --partition "$partition" --replace yes-to-all --out "build/recovered/partition-$partition"
  echo
done
echo "== What was recovered"
find build/recovered -maxdepth 2 | sort | head -30
