#!/usr/bin/env bash
# The advanced partition search (every sector of a disk) over a disk kept in a container,
# against the container's own tool reading the same image whole, in the same run, with the
# page cache warm: an E01 against `ewfexport` to /dev/null (and `ewfverify`), a qcow2 against
# `qemu-img convert -O raw` to /dev/null. The target is at most 1.2 times the tool's time.
#
#   bench/containers_vs_their_tools.sh [RAW_IMAGE]
#
# Without RAW_IMAGE, the 1 GiB disk of advanced_search_vs_dd.sh (16 copies of the sample
# disk) under build/bench/. The containers are made beside it once (deflate "fast" for the
# E01, compressed clusters for the qcow2).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/timing.sh
source bench/timing.sh
scripts/build.sh vantrel-cli >/dev/null
cli=$PWD/build/bin/vantrel-cli
raw=${1:-}
if [ -z "$raw" ]; then
  mkdir -p build/bench
  raw=build/bench/sixteen-samples.img
  if [ ! -f "$raw" ]; then
    zstd -q -d -c samples/sample-disk.img.zst >build/bench/sample.img
    for _ in $(seq 16); do cat build/bench/sample.img; done >"$raw"
    rm build/bench/sample.img
  fi
fi
raw=$(realpath "$raw")
folder=$(dirname "$raw")/containers-of-$(basename "$raw" .img)
mkdir -p "$folder"
e01=$folder/disk.E01
qcow=$folder/disk.qcow2
[ -f "$e01" ] || (cd "$folder" && ewfacquire -u -q -t disk -c deflate:fast -f encase6 -S 2GiB -d sha1 "$raw" >/dev/null)
[ -f "$qcow" ] || qemu-img convert -c -f raw -O qcow2 "$raw" "$qcow"
runs=${RUNS:-3}

cat "$e01" "$qcow" >/dev/null  # warm the page cache
printf 'disk: %s (%d MiB); E01 %d MiB, qcow2 %d MiB; %d runs each, medians\n' "$raw" \
  $(($(stat -c %s "$raw") >> 20)) $(($(stat -c %s "$e01") >> 20)) $(($(stat -c %s "$qcow") >> 20)) "$runs"
found() { "$cli" --disk "$1" partitions --search advanced --json | grep -c '"start"'; }
echo "partitions found: raw $(found "$raw"), E01 $(found "$e01"), qcow2 $(found "$qcow")"
paired "$runs" "advanced search over the E01" "'$cli' --disk '$e01' partitions --search advanced --json" \
  "ewfexport to /dev/null" "ewfexport -u -q -t - -f raw '$e01' >/dev/null"
paired "$runs" "advanced search over the E01" "'$cli' --disk '$e01' partitions --search advanced --json" \
  "ewfverify" "ewfverify -q '$e01'"
paired "$runs" "advanced search over the qcow2" "'$cli' --disk '$qcow' partitions --search advanced --json" \
  "qemu-img convert to /dev/null" "qemu-img convert -f qcow2 -O raw '$qcow' /dev/null"
