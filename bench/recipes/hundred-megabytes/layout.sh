# hundred-megabytes: a 256 MiB disk, MBR, partition 1 (0x83 at sector 2048) ReiserFS 3.6
# with 4 KiB blocks, holding about 100 MB of files: the image for the saving benchmark.
fx_disk 256M
fx_sfdisk <<'T'
label: dos
start=2048, size=522240, type=83
T
fx_mkreiserfs 2048 522240
fx_describe 1 "ReiserFS 3.6, 4 KiB blocks: 96 files of 1 MiB of random bytes in 8 folders, and 400"
fx_describe 1 "files of 1 to 20000 bytes (tails and small indirect files)."
fx_expect 1 reiserfs 3.6
