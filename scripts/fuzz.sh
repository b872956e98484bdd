#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan + UBSan, in build/fuzz-clang) and runs each of
# them, or those named, one after the other for SECONDS each (default 60), under nice.
#   scripts/fuzz.sh [-t SECONDS] [-r RUNS] [TARGET...]
# TARGET is one of: superblock node partition_table partition_search catalogue_save raw_recovery
# recovery_log md_superblock lvm_metadata ddf_membership ewf_image qcow_image vmdk_image vhdi_image vdi_image vhdx_log tree_fit
# journal stored_attribute. -r stops a target after RUNS executions instead (whichever comes first).
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
    *) sed -n '2,12p' "$0" >&2; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
all=(superblock node partition_table partition_search catalogue_save raw_recovery recovery_log md_superblock lvm_metadata
     ddf_membership ewf_image qcow_image vmdk_image vhdi_image vdi_image vhdx_log tree_fit journal stored_attribute)
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
# The containers' seeds: the first 128 KiB of a fixture image (its superblock included) in
# each kind the tools make. Small disks keep a run fast: every execution reads its whole disk.
if [ ! -d $seeds/vdi_image ]; then
  made=$(mktemp -d)
  head -c 128K $images/bare-36.img >"$made/disk.img"
  (cd "$made" &&
    ewfacquire -u -q -t e1 -c deflate:best -f encase6 -d sha1 disk.img >/dev/null 2>&1 &&
    ewfacquire -u -q -t e2 -c none -f encase5 disk.img >/dev/null 2>&1 &&
    qemu-img convert -c -f raw -O qcow2 disk.img c1.qcow2 && qemu-img convert -f raw -O qcow2 disk.img c2.qcow2 &&
    qemu-img convert -f raw -O vmdk -o subformat=streamOptimized disk.img v1.vmdk &&
    qemu-img convert -f raw -O vmdk -o subformat=monolithicSparse disk.img v2.vmdk &&
    qemu-img convert -f raw -O vhdx -o subformat=dynamic,block_size=1M,log_size=1M disk.img h1.vhdx &&
    qemu-img convert -f raw -O vpc disk.img h2.vhd && qemu-img convert -f raw -O vpc -o subformat=fixed disk.img h3.vhd &&
    qemu-img convert -f raw -O vdi disk.img d1.vdi && qemu-img convert -f raw -O vdi -o static=on disk.img d2.vdi)
  mkdir -p $seeds/ewf_image $seeds/qcow_image $seeds/vmdk_image $seeds/vhdi_image $seeds/vdi_image
  cp "$made"/*.E01 $seeds/ewf_image/ && cp "$made"/*.qcow2 $seeds/qcow_image/ && cp "$made"/*.vmdk $seeds/vmdk_image/ &&
    cp "$made"/*.vhd* $seeds/vhdi_image/ && cp "$made"/*.vdi $seeds/vdi_image/
  rm -rf "$made"
fi

declare -A maxLength=([superblock]=4096 [node]=8192 [partition_table]=8192 [partition_search]=400000 [catalogue_save]=4096
                      [raw_recovery]=262144 [recovery_log]=65536 [md_superblock]=4096 [lvm_metadata]=65536
                      [ewf_image]=196608 [qcow_image]=524288 [vmdk_image]=262144 [vhdi_image]=2200000 [vdi_image]=262144 [tree_fit]=65536
                      [journal]=300000 [vhdx_log]=81920 [stored_attribute]=4096 [ddf_membership]=32768)
# libewf leaks the chunk buffer of some reads of a damaged image (fuzz/container-libraries-leaks.supp),
# which over a long run adds up to gigabytes, and allocates a chunk's buffer at the size its
# chunk table gives, up to 4 GiB (the read then fails and the chunk reads as bad sectors):
# its target may grow further. Every other target stops at 2 GiB, in all and at once.
declare -A rssLimit=([ewf_image]=12288)
declare -A mallocLimit=([ewf_image]=4608)
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
  # The container libraries' own faults (fuzz/container-libraries*.supp) do not stop their targets.
  asan=$ASAN_OPTIONS
  if [[ $target == *_image ]]; then
    asan="$asan:suppressions=$root/fuzz/container-libraries.supp"
    export LSAN_OPTIONS="suppressions=$root/fuzz/container-libraries-leaks.supp"
  else
    unset LSAN_OPTIONS
  fi
  echo "== $target: ${seconds}s" >&2
  ASAN_OPTIONS=$asan nice -n 10 $out/bin/${target}_fuzzer "${options[@]}" -max_len=${maxLength[$target]} -max_total_time="$seconds" \
    -runs="$runs" -timeout=20 -rss_limit_mb=${rssLimit[$target]:-2048} \
    -malloc_limit_mb=${mallocLimit[$target]:-2048} -print_final_stats=1 -artifact_prefix="$findings/" \
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
