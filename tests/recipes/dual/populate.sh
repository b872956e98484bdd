# dual, VM side: create the array, format, fill, record the stack, stop the array.
mdadm --create /dev/md0 --run --level=6 --raid-devices=5 --metadata=1.2 --chunk=32 \
	--layout=left-symmetric /dev/vda /dev/vdb /dev/vdc /dev/vdd /dev/vde
mdadm --wait /dev/md0 || true
fx_log "$(cat /proc/mdstat | tr '\n' ' ')"
mkreiserfs -q -ff -l DUAL /dev/md0
M=/mnt/md0
fx_mount /dev/md0 $M
cd $M
d=1
while [ $d -le 20 ]; do
	dir=$(printf 'shelf-%02d' $d)
	mkdir "$dir"
	i=1
	while [ $i -le 30 ]; do
		n=$(((d * 5113 + i * 2719) % 7000 + 60))
		[ $((i % 12)) -ne 0 ] || n=$((n + 30000))
		fx_fill "$(printf '%s/item-%03d.dat' "$dir" $i)" $n
		i=$((i + 1))
	done
	d=$((d + 1))
done
mkdir big
fx_fill big/archive-1.bin 3000000
fx_fill big/archive-2.bin 2200000
fx_sparse big/sparse.img 524288 2097152 4000
fx_fill big/photo.raw 1300000
cd /
fx_stamp_all $M 1286705410 17
fx_snapshot /dev/md0 $M
fx_umount $M
fx_record_stack
mdadm --stop /dev/md0
