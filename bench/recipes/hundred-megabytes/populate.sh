# hundred-megabytes, VM side.
M=/mnt/vda1
fx_mount /dev/vda1 $M
cd $M
i=0
while [ $i -lt 8 ]; do
	d=$(printf 'big-%02d' $i)
	mkdir "$d"
	j=0
	while [ $j -lt 12 ]; do
		dd if=/dev/urandom of="$d/chunk-$j.bin" bs=65536 count=16 2>/dev/null
		j=$((j + 1))
	done
	i=$((i + 1))
done
mkdir small
j=1
while [ $j -le 400 ]; do
	fx_fill "small/file-$j.txt" $((j * 50))
	j=$((j + 1))
done
cd /
fx_snapshot /dev/vda1 $M
fx_umount $M
