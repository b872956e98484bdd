# many-files: a 256 MiB disk, MBR, partition 1 (0x83 at sector 2048) ReiserFS 3.6 with
# 4 KiB blocks, holding 20,100 files in 101 folders: the image for the catalogue-build
# benchmarks.
fx_disk 256M
fx_sfdisk <<'T'
label: dos
start=2048, size=522240, type=83
T
fx_mkreiserfs 2048 522240
fx_describe 1 "ReiserFS 3.6, 4 KiB blocks: 100 folders of 200 small files each, and one folder of"
fx_describe 1 "100 files of 20000 bytes (indirect items)."
fx_expect 1 reiserfs 3.6
fx_expect 1 min_entries 20000
