# tree-heights: a 64 MiB disk, MBR, with the two ends of tree height:
#   1 primary 0x83  ReiserFS 3.5, 1 KiB blocks, about 4,400 entries whose tails fill some
#                   3,000 leaves, so that the root is at level 4
#   2 primary 0x83  ReiserFS 3.6, 4 KiB blocks, two files: the root is a single leaf
# Made with the fixture tool: make-reiserfs-fixture -o OUT tests/recipes/tree-heights; the
# image and its manifest (zstd -19) go to tests/data.
fx_disk 64M
fx_sfdisk <<'T'
label: dos
start=2048, size=40960, type=83
start=43008, size=86016, type=83
T
fx_mkreiserfs 2048 40960 --format 3.5 -b 1024
fx_mkreiserfs 43008 86016 -l LEAFROOT

fx_describe 1 "ReiserFS 3.5 (magic ReIsErFs), 1 KiB blocks, root at level 4: 16 folders of 16 sub-folders"
fx_describe 1 "of 16 files of 300 to 800 bytes (each a tail of its own in the leaves), a few files of"
fx_describe 1 "several blocks, an empty file and a symlink."
fx_describe 2 "ReiserFS 3.6, 4 KiB blocks, label LEAFROOT: two small files, the root is a single leaf."
fx_expect 1 reiserfs 3.5
fx_expect 1 root_level 4
fx_expect 1 min_entries 4000
fx_expect 2 reiserfs 3.6
fx_expect 2 root_level 1
fx_note "Partition 1: file contents are lines '<path> #<line> abcdefghijklmnopqrstuvwxyz0123456789', 5 to 11 lines, so that no two files are alike and each stays a tail (under 904 bytes at 1 KiB blocks)."
