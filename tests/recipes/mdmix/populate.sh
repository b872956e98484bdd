# mdmix, VM side: make the arrays and volumes, write the pattern, log what the kernel reads.
c="mdadm --create --run"
$c /dev/md1 --level=0 --raid-devices=3 --metadata=1.2 --chunk=64 /dev/vdc1 /dev/vda1 /dev/vdb1
$c /dev/md2 --level=linear --raid-devices=3 --metadata=1.2 /dev/vdb2 /dev/vda2 /dev/vdc2
$c /dev/md3 --level=10 --layout=n2 --raid-devices=4 --metadata=1.2 --chunk=64 /dev/vda3 /dev/vdb3 /dev/vdc3 /dev/vdd3
$c /dev/md4 --level=10 --layout=f2 --raid-devices=3 --metadata=1.2 --chunk=64 /dev/vda4 /dev/vdb4 /dev/vdc4
$c /dev/md5 --level=10 --layout=o2 --raid-devices=4 --metadata=1.2 --chunk=32 /dev/vda5 /dev/vdb5 /dev/vdc5 /dev/vdd5
$c /dev/md6 --level=0 --raid-devices=3 --metadata=1.0 --chunk=64 /dev/vdd6 /dev/vda6 /dev/vdc6
$c /dev/md7 --level=0 --layout=alternate --raid-devices=3 --metadata=1.2 --chunk=32 /dev/vda7 /dev/vdb7 /dev/vdc7
for n in 3 4 5; do mdadm --wait /dev/md$n || true; done
lvm pvcreate -q /dev/vdc8 /dev/vdd8
lvm vgcreate -q -s 1M legs /dev/vdc8 /dev/vdd8
lvm lvcreate -q -y --type raid1 -m 1 -L 3M -n r1 legs
lvm lvcreate -q -y --type mirror -m 1 --mirrorlog core -L 2M -n m1 legs
for v in /dev/md1 /dev/md2 /dev/md3 /dev/md4 /dev/md5 /dev/md6 /dev/md7 /dev/mapper/legs-r1 /dev/mapper/legs-m1; do
	dd if=/payload/pattern of=$v bs=64k 2>/dev/null || true
done
sync
echo 3 > /proc/sys/vm/drop_caches
for v in /dev/md1 /dev/md2 /dev/md3 /dev/md4 /dev/md5 /dev/md6 /dev/md7 /dev/mapper/legs-r1 /dev/mapper/legs-m1; do
	fx_log "volume $v bytes $(blockdev --getsize64 $v) sha256 $(sha256sum < $v | cut -d' ' -f1)"
done
for n in 1 6 7; do fx_log "examine md$n $(mdadm --examine /dev/vdc$n | tr '\n' ';')"; done
fx_log "lvs $(lvm lvs -a --segments -o +devices | tr '\n' ';')"
lvm vgchange -q -an legs
for n in 1 2 3 4 5 6 7; do mdadm --stop /dev/md$n; done
