#!/usr/bin/env bash
# Whole-file raw recovery against PhotoRec (Debian package testdisk) on a 1 GiB image
# filled with current documents made by LibreOffice and zip (bench/make_documents.py):
# both times and both counts of byte-identical placed files, in the same run, and a plain
# `dd bs=1M` read of the same image and of an image of random bytes for the scan's speed.
#
#   bench/carve_documents_vs_photorec.sh [VARIANTS]
#
# Output goes to $CARVE_BENCH_OUT (default build/bench); $CARVE_BENCH_RUNS rounds (default 3),
# medians quoted. Carve writes its files through to the disk before it exits; PhotoRec
# leaves them in the page cache.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=bench/timing.sh
source bench/timing.sh
scripts/build.sh vantrel-cli >/dev/null
cli=$PWD/build/bin/vantrel-cli
bench=build/bench
out=${CARVE_BENCH_OUT:-$bench}
variants=${1:-4}
gib=1073741824
mkdir -p "$bench" "$out"

docs=$bench/documents-v$variants
if [ ! -d "$docs" ]; then
  python3 bench/make_documents.py "$docs.tmp" --variants "$variants"
  python3 bench/make_aligned_zip.py "$docs.tmp/aligned.zip" "$docs.tmp/v00-text.doc" "$docs.tmp/v00-text.pdf"
  mv "$docs.tmp" "$docs"
fi
image=$bench/documents-v$variants.img
manifest=$image.json
if [ ! -f "$image" ]; then
  python3 - "$docs" "$image" "$manifest" $gib <<'PY'
import hashlib, json, os, random, sys
folder, image, manifest, size = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
rng = random.Random(15)
files = [open(os.path.join(folder, n), "rb").read() for n in sorted(os.listdir(folder))]
names = sorted(os.listdir(folder))
placed = []
with open(image, "wb") as out:
    out.write(bytes(512 * 8))
    while True:
        k = rng.randrange(len(files))
        data = files[k]
        gap = rng.randrange(3)
        room = len(data) + (-len(data)) % 512 + 512 * gap
        if out.tell() + room > size:
            break
        placed.append({"name": names[k], "sector": out.tell() // 512, "sha256": hashlib.sha256(data).hexdigest()})
        out.write(data + rng.randbytes(room - len(data)))
    out.write(bytes(size - out.tell()))
json.dump({"files": placed}, open(manifest, "w"))
print("%d files placed" % len(placed))
PY
fi
randomimage=$bench/random.img
[ -f "$randomimage" ] || head -c $gib /dev/urandom > "$randomimage"

# Both write into a folder emptied before the timed run.
carve() { "$cli" --disk "$1" carve --out "$2" --exact-sizes >/dev/null; }
photorec_run() {
  mkdir -p "$2"
  (cd "$2" && photorec /log /d "$PWD/recup" /cmd "$OLDPWD/$1" \
    partition_none,options,paranoid,keep_corrupted_file_no,fileopt,everything,disable,doc,enable,zip,enable,pdf,enable,txt,enable,wholespace,search >/dev/null)
}

runs=${CARVE_BENCH_RUNS:-3}
names=(dd_docs carve_docs photorec_docs dd_random carve_random)
declare -A lists times
# Each timed command starts with the files of the one before on the disk (sync), and the
# commands take turns, so that a machine whose speed drifts treats them alike.
timed() {  # timed NAME OUTPUT-FOLDER COMMAND...
  local name=$1 folder=$2
  shift 2
  rm -rf "$folder"
  sync
  lists[$name]+="$(seconds "$@") "
}
cat "$image" "$randomimage" >/dev/null  # warm the page cache
for _ in $(seq "$runs"); do
  timed dd_docs "" dd if="$image" of=/dev/null bs=1M
  timed carve_docs "$out/docs-carve" carve "$image" "$out/docs-carve"
  timed photorec_docs "$out/docs-photorec" photorec_run "$image" "$out/docs-photorec"
  timed dd_random "" dd if="$randomimage" of=/dev/null bs=1M
  timed carve_random "$out/random-carve" carve "$randomimage" "$out/random-carve"
done
for name in "${names[@]}"; do times[$name]=$(printf '%s\n' ${lists[$name]} | median); done

printf 'document image %s (1024 MiB, %s variants), medians of %s runs, output to %s\n' "$image" "$variants" "$runs" "$out"
for name in "${names[@]}"; do
  awk -v n="$name" -v t="${times[$name]}" -v gib=$gib -v all="${lists[$name]}" \
    'BEGIN { printf "  %-14s %8.3f s  %7.0f MiB/s   (runs: %s)\n", n, t, gib / 1048576 / t, all }'
done
awk -v c="${times[carve_docs]}" -v p="${times[photorec_docs]}" -v d="${times[dd_random]}" -v r="${times[carve_random]}" \
  'BEGIN { printf "  carve / photorec on documents: %.2f; carve throughput / dd on random bytes: %.2f\n", c / p, d / r }'
python3 - "$manifest" "$out/docs-carve" "$out/docs-photorec" <<'PY'
import collections, hashlib, json, os, sys
placed = collections.Counter(f["sha256"] for f in json.load(open(sys.argv[1]))["files"])
kinds = {f["sha256"]: os.path.splitext(f["name"])[1] for f in json.load(open(sys.argv[1]))["files"]}
for label, folder in (("carve --exact-sizes", sys.argv[2]), ("photorec", sys.argv[3])):
    found, written = collections.Counter(), 0
    for root, _, names in os.walk(folder):
        for name in names:
            if name.endswith((".log", ".xml")): continue
            written += 1
            found[hashlib.sha256(open(os.path.join(root, name), "rb").read()).hexdigest()] += 1
    same = sum(min(n, found[h]) for h, n in placed.items())
    missed = collections.Counter()
    for h, n in placed.items():
        missed[kinds[h]] += max(0, n - found[h])
    print("  %-20s %6d files written, %6d of %d placed files byte-identical (%.1f %%), missed by kind: %s" % (
        label, written, same, sum(placed.values()), 100.0 * same / sum(placed.values()),
        dict((k, v) for k, v in missed.items() if v) or "none"))
PY
