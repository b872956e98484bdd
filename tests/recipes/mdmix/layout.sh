# mdmix: four 64 MiB disks with GPT partitions of unequal sizes, for md arrays as mdadm and
# the md driver lay them out where members differ: RAID0 of unequal members (metadata 1.2
# and 1.0, the original and the alternate multi-zone layout), linear, and RAID10 near,
# far and offset; an LVM2 volume group with a raid1 and a mirror volume. Each array and
# volume is filled with the sector pattern of /payload/pattern (sector i holds its number)
# and its size and sha256 as the kernel read them are logged (FX: lines of the console).
fx_disks 4 64M
fx_stack
# partition sizes in MiB, one column per disk (0 = a 1 MiB partition nobody uses)
sizes=(
	"8 12 16 0"  # 1: RAID0 1.2, members given as vdc1 vda1 vdb1
	"6 4 5 0"    # 2: linear 1.2, given as vdb2 vda2 vdc2
	"6 6 6 6"    # 3: RAID10 near=2 over four
	"6 6 6 0"    # 4: RAID10 far=2 over three
	"6 6 6 6"    # 5: RAID10 offset=2 over four
	"4 0 5 9"    # 6: RAID0 1.0 over vdd6 vda6 vdc6
	"4 6 8 0"    # 7: RAID0 1.2, alternate layout
	"0 0 10 10"  # 8: LVM2 physical volumes
)
for d in 0 1 2 3; do
	{
		echo "label: gpt"
		for row in "${sizes[@]}"; do
			read -r -a col <<< "$row"
			mib=${col[$d]}
			[ "$mib" -gt 0 ] || mib=1
			echo "size=${mib}MiB, type=A19D880F-05FC-4D3B-A006-743F0F84911E"
		done
	} | fx_sfdisk_disk $d
done
python3 - "$FX_PAYLOAD/pattern" <<'PY'
import sys
with open(sys.argv[1], "wb") as f:
    for i in range(40 * 2048):
        line = ("sector %010d " % i).encode()
        f.write((line * 32)[:512])
PY
fx_note "Arrays md1..md7 on partitions 1..7 and LVs legs/r1 and legs/m1 on partition 8 of disks 2 and 3; each holds the pattern (sector i: 'sector %010d ' repeated); sizes and sha256 in the console log."
