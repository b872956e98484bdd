# level5-35: the cheapest tree of full height the kernel makes: one ReiserFS 3.5 partition
# with 1 KiB blocks holding 100 folders of 1,000 files of 600 to 860 bytes, each a tail
# of about a leaf of its own, so that some 80,000 leaves put the root at level 5.
# Too big for the repository (a few MiB compressed): make it when needed with
#   make-reiserfs-fixture -r -o DIR bench/recipes/level5-35
fx_disk 192M
fx_sfdisk <<'T'
label: dos
start=2048, size=389120, type=83
T
fx_mkreiserfs 2048 389120 --format 3.5 -b 1024
fx_sparse_image
fx_describe 1 "ReiserFS 3.5, 1 KiB blocks, root at level 5: 100 folders of 1,000 files of 600 to 860 bytes."
fx_expect 1 reiserfs 3.5
fx_expect 1 root_level 5
fx_note "The entries are a sample (fx_snapshot_sample): each folder's first, middle and last file; counts cover every entry. File n of folder d is 'folder d file n\n' followed by the first 600 + (n * 37) % 260 bytes of 12 lines 'Lorem ipsum ... 0123456\n'."
