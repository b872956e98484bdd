# level5-35, VM side: shell built-ins only in the inner loop (one write per file).
M=/mnt/vda1
fx_mount /dev/vda1 $M
cd $M
line='Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor 0123456'
body=''
i=0
while [ $i -lt 12 ]; do body="$body$line
"; i=$((i + 1)); done
: > /tmp/sample
d=0
while [ $d -lt 100 ]; do
	dir=$(printf 'd%03d' $d)
	mkdir "$dir"
	n=0
	while [ $n -lt 1000 ]; do
		printf 'folder %d file %d\n%s' $d $n "${body:0:$((600 + (n * 37) % 260))}" > "$dir/f$n"
		n=$((n + 1))
	done
	printf './%s/f0\n./%s/f500\n./%s/f999\n' "$dir" "$dir" "$dir" >> /tmp/sample
	d=$((d + 1))
done
cd /
fx_snapshot_sample /dev/vda1 $M /tmp/sample
fx_umount $M
