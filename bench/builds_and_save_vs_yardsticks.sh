#!/usr/bin/env bash
# The catalogue builds and the save beside their yardsticks, in the same run, whole
# processes, the two commands of each pair taken in turn:
#   quick build (`ls`)                  beside `reiserfsck --check` of the same partition
#   advanced build (`ls --file-search advanced`)  beside `dd bs=1M` of the partition
#   save of every file                  beside `cp -r` of the same files (saved once before)
# each with the page cache warm, and the builds also cold (the partition file dropped from
# the page cache before every run), then the builds' time per 1,000 objects for each image,
# so that sizes can be compared.
#
#   bench/builds_and_save_vs_yardsticks.sh [IMAGE ...]
#
# Each IMAGE is a disk image whose first partition is ReiserFS; the partition is copied,
# unsparsed, to build/bench/NAME.part, so that every command reads all of its bytes. By
# default: /tmp/bench/many-files.img (20,100 files; recipe recipes/many-files) and the
# mail spool of make-million-image.sh at the scale set in its environment (made when
# missing: long). Needs reiserfsck (Debian's reiserfsprogs) and python3. RUNS (default 5);
# SAVE=0 leaves the save out (a million files take minutes to save and to copy, each run).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh vantrel-cli >/dev/null
cli=$PWD/build/bin/vantrel-cli
work=$PWD/build/bench/yardsticks
mkdir -p "$work"
runs=${RUNS:-5}
command -v reiserfsck >/dev/null || { echo "reiserfsck is missing (apt-get install reiserfsprogs)" >&2; exit 2; }

images=("$@")
if [ ${#images[@]} -eq 0 ]; then
  [ -f /tmp/bench/many-files.img ] && images+=(/tmp/bench/many-files.img)
  images+=("$(bench/make-million-image.sh)")
fi

# drop FILE: the file's pages leave the page cache.
drop() { python3 -c 'import os, sys
fd = os.open(sys.argv[1], os.O_RDONLY)
os.posix_fadvise(fd, 0, 0, os.POSIX_FADV_DONTNEED)
os.close(fd)' "$1"; }

# timed OUT COMMAND: appends "wall cpu" (seconds, to the millisecond) of one run to OUT.
# The command runs straight from this shell (no shell of its own to start, which would
# weigh on a run of a few milliseconds); its words are split as a shell splits them.
timed() {
  local TIMEFORMAT='%3R %3U %3S'
  local -a words
  read -r -a words <<<"$2"
  { time "${words[@]}" >/dev/null 2>&1; } 2>"$work/time" || true
  awk '{ print $1, $2 + $3 }' "$work/time" >>"$1"
}

# median FILE COLUMN
median_of() { awk -v c="$2" '{ print $c }' "$1" | sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# pair LABEL COLD COMMAND_A COMMAND_B: RUNS runs of each, in turn, after one warm-up of
# each; "$run" in a command is the run's number. COLD drops the partition from the page
# cache before every run.
pair() {
  local label=$1 cold=$2 commandA=$3 commandB=$4
  : >"$work/a"
  : >"$work/b"
  for run in $(seq 0 "$runs"); do
    [ "$cold" = cold ] && drop "$part"
    timed "$work/a" "${commandA//\$run/$run}"
    [ "$cold" = cold ] && drop "$part"
    timed "$work/b" "${commandB//\$run/$run}"
    # the warm-up's figures are not counted
    [ "$run" = 0 ] && : >"$work/a" && : >"$work/b"
  done
  local aw ac bw bc
  aw=$(median_of "$work/a" 1); ac=$(median_of "$work/a" 2)
  bw=$(median_of "$work/b" 1); bc=$(median_of "$work/b" 2)
  awk -v l="$label" -v aw="$aw" -v ac="$ac" -v bw="$bw" -v bc="$bc" 'BEGIN {
    printf "  %-44s wall %7.3f s / %7.3f s = %5.2fx   cpu %7.3f s / %7.3f s = %5.2fx\n",
      l, aw, bw, (bw > 0 ? aw / bw : 0), ac, bc, (bc > 0 ? ac / bc : 0) }'
  printf '%s\t%s\t%s\n' "$label" "$aw" "$ac" >>"$work/per-image"
}

printf 'medians of %d runs each; "A / B = ratio", ours first\n' "$runs"
: >"$work/sizes"
for image in "${images[@]}"; do
  name=$(basename "$image" .img)
  part=$work/$name.part
  start=$("$cli" --disk "$image" partitions --json | python3 -c 'import json, sys; print(json.load(sys.stdin)["partitions"][0]["start"])')
  [ -f "$part" ] || dd if="$image" of="$part" bs=1M skip=$((start * 512)) iflag=skip_bytes status=none
  objects=$("$cli" --disk "$part" ls --start 0 --json | python3 -c 'import json, sys
c = json.load(sys.stdin)
print(len(c["files"]) + len(c["folders"]))')
  bytes=$(stat -c %s "$part")
  printf '%s: %d catalogue entries, partition of %d MiB\n' "$name" "$objects" $((bytes >> 20))
  : >"$work/per-image"
  for cold in warm cold; do
    pair "quick build vs reiserfsck --check ($cold)" $cold "$cli --disk $part ls --start 0" \
      "reiserfsck --check -y -q $part"
    pair "advanced build vs dd bs=1M ($cold)" $cold "$cli --disk $part ls --start 0 --file-search advanced" \
      "dd if=$part of=/dev/null bs=1M"
  done
  if [ "${SAVE:-1}" != 0 ]; then
  # Every run writes into a new folder, and all are removed at the end: the file system
  # makes new files far more slowly just after many were deleted.
  rm -rf "$work"/saved-* "$work"/copy-* "$work/source"
  "$cli" --disk "$part" save --start 0 --out "$work/source" >/dev/null 2>&1
  sync
  pair "save vs cp -r (warm)" warm "$cli --disk $part save --start 0 --out $work/saved-\$run" \
    "cp -r $work/source $work/copy-\$run"
  diff -r "$work/source" "$work/saved-1" >/dev/null && echo "  saved files identical to the copied ones" ||
    echo "  SAVED FILES DIFFER from the copied ones"
  rm -rf "$work"/saved-* "$work"/copy-* "$work/source"
  fi
  awk -F '\t' -v n="$objects" -v name="$name" '/^quick build.*\(warm\)/ { q = $3 } /^advanced build.*\(warm\)/ { a = $3 }
    END { printf "%s %d %.4f %.4f\n", name, n, q / n * 1000, a / n * 1000 }' "$work/per-image" >>"$work/sizes"
done
echo "cpu per 1,000 catalogue entries, page cache warm (flat from size to size when linear):"
awk '{ printf "  %-32s %9d entries   quick %7.2f ms   advanced %7.2f ms\n", $1, $2, $3 * 1000, $4 * 1000 }' "$work/sizes"
