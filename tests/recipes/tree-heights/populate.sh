# tree-heights, VM side. The inner loop uses shell built-ins only: thousands of files are
# written in minutes without hardware virtualisation.
M=/mnt/vda1
fx_mount /dev/vda1 $M
cd $M
t=0
n=0
while [ $t -lt 16 ]; do
	s=0
	while [ $s -lt 16 ]; do
		d=$(printf 'top-%02d/sub-%02d' $t $s)
		mkdir -p "$d"
		f=0
		while [ $f -lt 16 ]; do
			p="$d/file-$f.txt"
			lines=$((5 + n % 7))
			k=0
			while [ $k -lt $lines ]; do
				echo "$p #$k abcdefghijklmnopqrstuvwxyz0123456789"
				k=$((k + 1))
			done > "$p"
			f=$((f + 1))
			n=$((n + 1))
		done
		s=$((s + 1))
	done
	t=$((t + 1))
done
mkdir -p 'odd ones/deeper/deepest'
fx_fill 'odd ones/empty' 0
fx_fill 'odd ones/two-blocks.bin' 2048
fx_fill 'odd ones/deeper/with tail.bin' 5000
fx_fill 'odd ones/deeper/deepest/big.bin' 70000
ln -s ../top-00/sub-00/file-0.txt 'odd ones/link-to-first'
cd /
fx_snapshot /dev/vda1 $M
fx_umount $M

M=/mnt/vda2
fx_mount /dev/vda2 $M
fx_fill $M/only-one.txt 1500
fx_fill $M/and-two.txt 9000
fx_snapshot /dev/vda2 $M
fx_umount $M
