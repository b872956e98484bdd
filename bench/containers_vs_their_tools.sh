#!/usr/bin/env bash
# The advanced partition search (every sector of a disk) over a disk kept in a container,
# against the container's own tool reading the same image whole, in the same run, with the
# page cache warm: an E01 against `ewfexport` to /dev/null (and `ewfverify`), a qcow2 against
# `qemu-img convert -O raw` into /dev/shm (qemu-img 7.2 refuses /dev/null as its target: "Cannot
# grow device files"), the file removed after each run. The target is at most 1.2 times the
# tool's time.
#
#   bench/containers_vs_their_tools.sh [RAW_IMAGE]
#
# Without RAW_IMAGE, the 1 GiB disk of advanced_search_vs_dd.sh (16 copies of the sample
# disk) under build/bench/, and a dense copy of it whose empty 4 KiB blocks hold random bytes:
# on the first, mostly zeros, the tools skip the empty clusters that the search reads; on the
# second every cluster holds data. The containers are made beside each disk once (deflate
# "fast" for the E01, compressed clusters for the qcow2).
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
dense=
if [ -z "${1:-}" ]; then
  dense=build/bench/sixteen-samples-dense.img
  [ -f "$dense" ] || python3 - "$raw" "$dense" <<'PY'
import os, sys
pool = os.urandom(1 << 20)
with open(sys.argv[1], "rb") as source, open(sys.argv[2], "wb") as out:
    n = 0
    while chunk := source.read(1 << 20):
        blocks = bytearray(chunk)
        for at in range(0, len(blocks), 4096):
            if not any(blocks[at:at + 4096]):
                start = (n * 7919) % (len(pool) - 4096)
                blocks[at:at + 4096] = pool[start:start + 4096]
                n += 1
        out.write(blocks)
PY
fi

compare() {
raw=$(realpath "$1")
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
converted=/dev/shm/vantrel-bench-$$.raw
# Each yardstick must succeed: a tool that fails at once would make any search look slow.
# (ewfexport writes its banner to standard output too: the disk's bytes follow it)
[ "$(ewfexport -u -q -t - -f raw "$e01" 2>/dev/null | tail -c "$(stat -c %s "$raw")" | md5sum)" = "$(md5sum <"$raw")" ] ||
  echo "warning: ewfexport did not give the disk" >&2
qemu-img convert -f qcow2 -O raw "$qcow" "$converted" && cmp -s "$converted" "$raw" && rm -f "$converted"
paired "$runs" "advanced search over the qcow2" "'$cli' --disk '$qcow' partitions --search advanced --json" \
  "qemu-img convert into /dev/shm" "qemu-img convert -f qcow2 -O raw '$qcow' '$converted'; rm -f '$converted'"
}

compare "$raw"
[ -z "$dense" ] || compare "$dense"
