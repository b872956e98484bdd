#!/usr/bin/env bash
# Records what the console makes of every test volume: the partition lists, the catalogues
# (ls --json, quick and advanced), the listings, the recovery logs and the saved trees
# (each file's path, size and sha256). Two snapshots of two builds are compared with
# `diff -r`: a change meant to keep behaviour leaves them byte-equal.
# Usage: snapshot-outputs.sh CLI OUTDIR [IMAGE ...]   (default: tests/data/*.img.zst and the sample)
set -uo pipefail
cli=$(realpath "$1")
out=$2
shift 2
root="$(cd "$(dirname "$0")/.." && pwd)"
images=("$@")
[ ${#images[@]} -gt 0 ] || images=("$root"/tests/data/*.img.zst "$root"/samples/sample-disk.img.zst)
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for image in "${images[@]}"; do
  name=$(basename "$image" .zst)
  name=${name%.img}
  disk=$work/$name.img
  case $image in
    *.zst) zstd -q -d -f "$image" -o "$disk" ;;
    *) cp "$image" "$disk" ;;
  esac
  dir=$out/$name
  mkdir -p "$dir"
  run() { "$cli" --disk "$disk" --bad-sectors skip-all "$@"; }
  run partitions --json >"$dir/partitions.json" 2>&1
  run partitions --search advanced --json >"$dir/partitions-advanced.json" 2>&1
  count=$(grep -o '"index":' "$dir/partitions.json" | wc -l)
  starts=()
  if [ "$count" -eq 0 ]; then
    starts=(--start=0)
  else
    for ((n = 0; n < count; n++)); do starts+=(--partition=$n); done
  fi
  for choose in "${starts[@]}"; do
    tag=${choose#--}
    tag=${tag/=/-}
    for search in quick advanced; do
      base=$dir/$tag-$search
      run ls -R --json "$choose" --file-search "$search" >"$base.ls.json" 2>"$base.ls.err"
      echo "exit $?" >>"$base.ls.err"
      run ls -R "$choose" --file-search "$search" >"$base.ls.txt" 2>/dev/null
      run listing --out "$base.listing" "$choose" --file-search "$search" >/dev/null 2>&1
      run log save "$work/log.sav" "$choose" --file-search "$search" >/dev/null 2>&1 && mv "$work/log.sav" "$base.sav"
      rm -rf "$work/saved"
      run save --out "$work/saved" --replace yes-to-all "$choose" --file-search "$search" >"$base.save.txt" 2>&1
      echo "exit $?" >>"$base.save.txt"
      sed -i -E 's/in [0-9.]+ s$/in N s/' "$base.save.txt"
      (cd "$work/saved" 2>/dev/null && find . -print0 | sort -z | xargs -0 -r stat -c '%n %F %s' && \
        find . -type f -print0 | sort -z | xargs -0 -r sha256sum) >"$base.saved-tree" 2>&1
    done
  done
  rm -f "$disk"
done
echo "snapshot in $out"
