#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan, in build/fuzz-clang) and runs each of
# them, or those named, one after the other for SECONDS each (default 60), under nice.
#   scripts/fuzz.sh [-t SECONDS] [-r RUNS] [TARGET...]
# TARGET is one of: superblock node partition_table partition_search catalogue_save raw_recovery
# recovery_log md_superblock lvm_metadata tree_fit. -r stops a target after RUNS executions instead (whichever comes first).
# The corpora grow in build/fuzz-clang/corpus/TARGET, seeded from the fixture images and
# from the corpora kept in fuzz/corpus; findings (crash-*, leak-*, timeout-*, oom-*) land
# in build/fuzz-clang/findings/TARGET. At the end one line per target gives executions,
# coverage (cov: edges, ft: features), corpus size and findings; the exit status is 1
# when any target left a finding.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=60
runs=-1
while getopts "t:r:" option; do
  case $option in
    t) seconds=$OPTARG ;;
    r) runs=$OPTARG ;;
    *) sed -n '2,11p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
all=(superblock node partition_table partition_search catalogue_save raw_recovery recovery_log md_superblock lvm_metadata tree_fit)
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=("${all[@]}")

out=build/fuzz-clang
if [ ! -f $out/build.ninja ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  CC=clang CXX=clang++ cmake -S . -B $out -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_BUILD_FUZZ=ON \
    -DVANTREL_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
fi
nice -n 10 ninja -C $out -j "${JOBS:-2}" "${targets[@]/%/_fuzzer}" >/dev/null

# The fixture images, unpacked once.
images=$out/images
mkdir -p $images/carve
for packed in tests/data/*.img.zst tests/data/carve/*.img.zst; do
  relative=${packed#tests/data/}
  [ -f "$images/${relative%.zst}" ] || zstd -q -d "$packed" -o "$images/${relative%.zst}"
done
cp -u tests/data/carve/*.json $images/carve/
export VANTREL_FUZZ_IMAGES=$root/$images

seeds=$out/seeds
[ -d $seeds/node ] || python3 fuzz/make-seeds.py $images $seeds

declare -A maxLength=([superblock]=4096 [node]=8192 [partition_table]=8192 [partition_search]=400000 [catalogue_save]=4096
                      [raw_recovery]=262144 [recovery_log]=65536 [md_superblock]=4096 [lvm_metadata]=65536 [tree_fit]=65536)
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
summary=()
status=0
for target in "${targets[@]}"; do
  corpus=$out/corpus/$target
  findings=$out/findings/$target
  mkdir -p "$corpus" "$findings"
  if [ -f fuzz/corpus/$target.tar.zst ] && [ -z "$(ls -A "$corpus")" ]; then
    tar --zstd -xf fuzz/corpus/$target.tar.zst -C "$corpus"
  fi
  extra=()
  [ -d $seeds/$target ] && extra+=($seeds/$target)
  [ $target = recovery_log ] && extra=() && options=(-dict=fuzz/recovery_log.dict) || options=()
  log=$out/findings/$target.log
  echo "== $target: ${seconds}s" >&2
  nice -n 10 $out/bin/${target}_fuzzer "${options[@]}" -max_len=${maxLength[$target]} -max_total_time="$seconds" \
    -runs="$runs" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" \
    "$corpus" "${extra[@]}" >"$log" 2>&1 || true
  executions=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  last=$(grep -E '^#[0-9]+' "$log" | tail -1 || true)
  cov=$(grep -o 'cov: [0-9]*' <<<"$last" | grep -o '[0-9]*' || echo "?")
  ft=$(grep -o 'ft: [0-9]*' <<<"$last" | grep -o '[0-9]*' || echo "?")
  count=$(find "$findings" -maxdepth 1 -type f | wc -l)
  [ "$count" -eq 0 ] || status=1
  summary+=("$(printf '%-17s executions %-10s cov %-6s ft %-7s corpus %-6s findings %s' "$target" "$executions" \
    "$cov" "$ft" "$(ls "$corpus" | wc -l)" "$count")")
done
printf '%s\n' "${summary[@]}"
exit $status
