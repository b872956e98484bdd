# dual: five 24 MiB disks, no partition table, Linux md RAID6 over the whole disks with
# metadata 1.2 (superblock at 4 KiB, data after the data offset), chunk 32 KiB,
# left-symmetric; ReiserFS 3.6 (4 KiB blocks) made by mkreiserfs on /dev/md0 and filled by
# the kernel in the same VM pass with about 600 files, a few of them large.
fx_disks 5 24M
fx_stack
fx_describe /dev/md0 "md RAID6 (metadata 1.2, chunk 32 KiB, left-symmetric) over /dev/vda../dev/vde:"
fx_describe /dev/md0 "ReiserFS 3.6, 4 KiB blocks, label DUAL, about 600 files in 20 folders and four large ones."
fx_expect /dev/md0 reiserfs 3.6
fx_expect /dev/md0 min_entries 600
fx_note "Five member disks dual-0..4.img.zst in array order (role 0..4). md RAID6 left-symmetric: in stripe row r, P is on role 4 - (r mod 5), Q on the next role, and the data chunks follow Q cyclically; member data starts at data_offset_sectors."
fx_note "Modification times: 2010-10-10 10:10:10 UTC (1286705410) + 17 s x rank in sorted path order."
