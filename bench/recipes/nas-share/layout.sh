# nas-share: the data disks of a four-bay NAS as it is usually set up: four 400 MiB disks,
# each with an MBR and one partition (type 0xFD from sector 2048 to the end), an md RAID5
# over the four (metadata 1.2, the default chunk of 512 KiB, left-symmetric), an LVM2
# physical volume on it, volume group "vg1" (4 MiB extents) with the logical volume "share"
# in two segments (made at 700 MiB, then "backup" of 64 MiB, then "share" grown by the rest)
# and ReiserFS 3.6 on "share", filled to about 80 %: mail folders of three users (small
# messages), photos (incompressible, 1-4 MB), office documents and a few videos.
# For the RAID benchmark (bench/raid_build_vs_dd.sh); made with -r, the members are raw.
fx_disks 4 400M
for i in 0 1 2 3; do
	fx_sfdisk_disk $i <<'T'
label: dos
start=2048, type=fd
T
done
fx_stack
fx_describe /dev/mapper/vg1-share "LV vg1/share, two segments: ReiserFS 3.6, 4 KiB blocks, label SHARE,"
fx_describe /dev/mapper/vg1-share "maildirs of three users, photos, documents and videos, about 80 % full."
fx_expect /dev/mapper/vg1-share reiserfs 3.6
