# many-files, VM side: shell built-ins only in the inner loop, so that 20,000 files are
# written in minutes even without hardware virtualisation.
M=/mnt/vda1
fx_mount /dev/vda1 $M
cd $M
i=0
while [ $i -lt 100 ]; do
	d=$(printf 'folder-%03d' $i)
	mkdir "$d"
	j=0
	while [ $j -lt 200 ]; do
		echo "file $j of folder $i: some text so that the file has a tail of its own" > "$d/file-$j.txt"
		j=$((j + 1))
	done
	i=$((i + 1))
done
mkdir large
j=0
while [ $j -lt 100 ]; do
	fx_fill "large/large-$j.bin" 20000
	j=$((j + 1))
done
cd /
fx_snapshot /dev/vda1 $M
fx_umount $M
