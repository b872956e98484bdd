#!/usr/bin/env bash
# Memory and time of the catalogue builds per object, from 20,000 to 10,000,000 objects:
# synthetic volumes (made once by make_synthetic_volume and cached) and, when it is there,
# the kernel-made spool of make-million-image.sh. Each build runs in a process of its own;
# the figures per object are the process's peak resident memory less that of an empty run
# (the same program opening the same image and building nothing), and the bytes the
# catalogue itself holds. With OLD_CLI and NEW_CLI set, the whole console program of each
# (vantrel-cli ls, a quick build and a listing of the root) is measured the same way in the
# same run, beside each other (CLI_SIZES chooses the sizes for that: a build of old can
# take far more memory).
#
#   bench/catalogue_scale.sh [BUILD_DIR]     (SIZES="20000 1000000" to choose the sizes)
set -euo pipefail
build=${1:-build}
bin=$build/bin
cache=${VANTREL_CACHE:-$HOME/.cache/vantrel}
sizes=${SIZES:-"20000 1000000 10000000"}
kernel=${KERNEL_IMAGE:-$cache/million-36-12-60-100.img}
mkdir -p "$cache"

peak() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

# objects, seconds, catalogue bytes, peak KB of one build; the empty run's peak KB.
measure() {
  local image=$1 mode=$2
  local empty line
  empty=$("$bin/catalogue_scale" --image="$image" --empty | awk '{print $10}')
  line=$("$bin/catalogue_scale" --image="$image" $mode)
  echo "$line" | awk -v empty="$empty" -v name="$3" -v mode="${mode:---quick}" '{
    objects = $2; seconds = $4; bytes = $6; peak = $10; cpu = $12;
    printf "%-22s %-10s %9d objects  wall %7.2f s %7.3f ms/1000  cpu %7.2f s %7.3f ms/1000  catalogue %6.1f B/object  peak-empty %6.1f B/object\n",
      name, mode, objects, seconds, seconds * 1e6 / objects, cpu, cpu * 1e6 / objects, bytes / objects, (peak - empty) * 1024 / objects }'
}

for n in $sizes; do
  image=$cache/synthetic-$n.img
  [ -f "$image" ] || "$bin/make_synthetic_volume" --objects="$n" --out="$image" >&2
  measure "$image" "" "synthetic $n"
  measure "$image" --advanced "synthetic $n"
done
if [ -f "$kernel" ]; then
  measure "$kernel" "" "kernel-made $(basename "$kernel" .img)"
  measure "$kernel" --advanced "kernel-made $(basename "$kernel" .img)"
fi

if [ -n "${OLD_CLI:-}" ] && [ -n "${NEW_CLI:-}" ]; then
  for image in $(for n in ${CLI_SIZES:-$sizes}; do echo "$cache/synthetic-$n.img"; done) $( [ -f "$kernel" ] && echo "$kernel"); do
    small=$cache/synthetic-10.img
    [ -f "$small" ] || "$bin/make_synthetic_volume" --objects=10 --out="$small" >&2
    objects=$("$bin/catalogue_scale" --image="$image" | awk '{print $2}')
    for cli in "$OLD_CLI" "$NEW_CLI"; do
      empty=$(peak "$cli" --disk "$small" ls)
      full=$(peak "$cli" --disk "$image" ls)
      json=$(peak "$cli" --disk "$image" ls --json)
      echo "$(basename "$image") $cli: ls peak-empty $(( (full - empty) * 1024 / objects )) B/object," \
           "ls --json peak-empty $(( (json - empty) * 1024 / objects )) B/object ($objects objects)"
    done
  done
fi
