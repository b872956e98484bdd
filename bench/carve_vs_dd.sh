#!/usr/bin/env bash
# Raw recovery (carve) throughput against a plain `dd bs=1M` read of the same 1 GiB image,
# in the same run, with the page cache warm; and PhotoRec (Debian package testdisk) over
# the same image as a peer, with the share of placed files each carves byte-identical.
#
#   bench/carve_vs_dd.sh
#
# Carved files go to $CARVE_BENCH_OUT (default build/bench); they are written through to
# the disk, so on the mixed image the carve's time is mostly the time to write them. The
# PowerPoint-only carve writes few files and shows the scan itself.
#
# Two images are made under build/bench/:
# - mixed: 39 copies of the carve-mixed fixture (20 documents and archives each) padded
#   with zeros to 1 GiB; the files, their offsets and sha256 come from its manifest;
# - pending: random bytes with one OLE header at sector 1 and no end marker, so that the
#   carve stays pending and every window is searched for end markers (the worst case).
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/timing.sh
source bench/timing.sh
scripts/build.sh vantrel-cli >/dev/null
cli=$PWD/build/bin/vantrel-cli
manifest=tests/data/carve/carve-mixed.json
bench=build/bench
out=${CARVE_BENCH_OUT:-$bench}
copies=39
gib=1073741824
runs=3
mkdir -p "$bench" "$out"

mixed=$bench/carve-mixed-x$copies.img
if [ ! -f "$mixed" ]; then
  zstd -q -d -f tests/data/carve/carve-mixed.img.zst -o "$bench/carve-mixed.img"
  for _ in $(seq $copies); do cat "$bench/carve-mixed.img"; done > "$mixed"
  truncate -s $gib "$mixed"
  rm "$bench/carve-mixed.img"
fi
pending=$bench/pending-random.img
if [ ! -f "$pending" ]; then
  head -c $gib /dev/urandom > "$pending"
  printf '\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1' | dd of="$pending" bs=512 seek=1 conv=notrunc status=none
fi

carve() {  # carve IMAGE OUT [options]
  local image=$1 out=$2
  shift 2
  "$cli" --disk "$image" carve --out "$out" "$@"
}
photorec_run() {  # photorec_run IMAGE OUT
  mkdir -p "$2"
  (cd "$2" && photorec /log /d "$PWD/recup" /cmd "$OLDPWD/$1" \
    partition_none,options,paranoid,keep_corrupted_file_no,fileopt,everything,disable,doc,enable,zip,enable,wholespace,search)
}

have_photorec=yes
command -v photorec >/dev/null || { have_photorec=; echo "PhotoRec not found (apt-get install testdisk): no peer" >&2; }

declare -A times
# Each run starts on an empty output folder, with the files of the run before on the disk
# (sync): neither the removal nor the write-back of an earlier run's files is timed.
fresh() { rm -rf "$1"; sync; }
measure() {  # measure NAME OUTPUT-FOLDER COMMAND...: median of $runs wall times
  local name=$1 folder=$2 list=()
  shift 2
  for _ in $(seq $runs); do
    fresh "$folder"
    list+=("$(seconds "$@")")
  done
  times[$name]=$(printf '%s\n' "${list[@]}" | median)
}

cat "$mixed" "$pending" >/dev/null  # warm the page cache
measure dd_mixed "" dd if="$mixed" of=/dev/null bs=1M
measure carve_mixed "$out/out-default" carve "$mixed" "$out/out-default"
measure exact_mixed "$out/out-exact" carve "$mixed" "$out/out-exact" --exact-sizes
measure ppt_mixed "$out/out-ppt" carve "$mixed" "$out/out-ppt" --types ppt
measure dd_pending "" dd if="$pending" of=/dev/null bs=1M
measure carve_pending "$out/out-pending" carve "$pending" "$out/out-pending"
times[photorec]=0
[ -n "$have_photorec" ] && fresh "$out/out-photorec" && times[photorec]=$(seconds photorec_run "$mixed" "$out/out-photorec")

printf 'images: %s and %s (1024 MiB each), medians of %d runs (PhotoRec: 1 run), output to %s\n' \
  "$mixed" "$pending" $runs "$out"
awk -v gib=$gib -v dm="${times[dd_mixed]}" -v cm="${times[carve_mixed]}" -v em="${times[exact_mixed]}" \
    -v pm="${times[ppt_mixed]}" \
    -v dp="${times[dd_pending]}" -v cp="${times[carve_pending]}" -v pr="${times[photorec]}" 'BEGIN {
  mib = gib / 1048576
  printf "mixed image:   dd bs=1M             %7.3f s  %7.0f MiB/s\n", dm, mib / dm
  printf "               carve                %7.3f s  %7.0f MiB/s  (%.2f of dd, files written included)\n", cm, mib / cm, dm / cm
  printf "               carve --exact-sizes  %7.3f s  %7.0f MiB/s  (%.2f of dd, files written included)\n", em, mib / em, dm / em
  printf "               carve --types ppt    %7.3f s  %7.0f MiB/s  (%.2f of dd, 78 files written)\n", pm, mib / pm, dm / pm
  if (pr > 0) printf "               photorec             %7.3f s  %7.0f MiB/s  (%.2f of dd)\n", pr, mib / pr, dm / pr
  printf "pending image: dd bs=1M             %7.3f s  %7.0f MiB/s\n", dp, mib / dp
  printf "               carve                %7.3f s  %7.0f MiB/s  (%.2f of dd, every window searched)\n", cp, mib / cp, dp / cp
}'

python3 - "$manifest" $copies "$out/out-default" "$out/out-exact" "$out/out-photorec" <<'PY'
import collections, hashlib, json, os, sys
manifest = json.load(open(sys.argv[1]))
copies = int(sys.argv[2])
placed, visible = collections.Counter(), collections.Counter()
for copy in range(copies):
    for f in manifest["files"]:
        placed[f["sha256"]] += 1
        # a document or a stored archive whose header the scan can see (not at sector 0)
        if f["header"] in ("ole", "zip10") and (copy > 0 or f["start_sector"] > 0):
            visible[f["sha256"]] += 1
def carved(folder):
    found = collections.Counter()
    for root, _, names in os.walk(folder):
        for name in names:
            if name.endswith((".log", ".xml")): continue
            with open(os.path.join(root, name), "rb") as handle:
                found[hashlib.sha256(handle.read()).hexdigest()] += 1
    return found
print("byte-identical placed files (all %d placed / %d documents and stored ZIPs with a visible header):"
      % (sum(placed.values()), sum(visible.values())))
for label, folder in (("carve", sys.argv[3]), ("carve --exact-sizes", sys.argv[4]), ("photorec", sys.argv[5])):
    if not os.path.isdir(folder): continue
    found = carved(folder)
    same = sum(min(n, found[h]) for h, n in placed.items())
    same_visible = sum(min(n, found[h]) for h, n in visible.items())
    print("  %-20s %4d files written  %4d of %d (%5.1f %%)  %4d of %d (%5.1f %%)" % (
        label, sum(found.values()), same, sum(placed.values()), 100.0 * same / sum(placed.values()),
        same_visible, sum(visible.values()), 100.0 * same_visible / sum(visible.values())))
PY
