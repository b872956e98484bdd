# nas-share, VM side: RAID5 over the four partitions, LVM on it, one ReiserFS share filled
# the way a small office NAS is.
mdadm --create /dev/md0 --run --level=5 --raid-devices=4 --metadata=1.2 --chunk=512 \
	--layout=left-symmetric --homehost=nas --name=data /dev/vda1 /dev/vdb1 /dev/vdc1 /dev/vdd1
mdadm --wait /dev/md0 || true
lvm pvcreate -y /dev/md0
lvm vgcreate -s 4m vg1 /dev/md0
lvm lvcreate -y -n share -L 700m vg1
lvm lvcreate -y -n backup -L 64m vg1
lvm lvextend -y -l +100%FREE vg1/share
mkreiserfs -q -ff -l SHARE /dev/mapper/vg1-share

M=/mnt/share
fx_mount /dev/mapper/vg1-share $M
cd $M
# Mail: three users, four folders each, 1,500 messages a folder of 300 bytes to 24 KB.
text="Received: from mail.example.org by nas; a line of a message body that is long enough"
for u in anna ben carla; do
	for f in INBOX Sent Archive Lists; do
		d="mail/$u/Maildir/.$f/cur"
		mkdir -p "$d" "mail/$u/Maildir/.$f/new" "mail/$u/Maildir/.$f/tmp"
		i=0
		while [ $i -lt 1500 ]; do
			n=$(((i * 7919 + ${#u} * 131 + ${#f} * 17) % 240 + 3))
			{
				echo "Subject: message $i of $u/$f"
				j=0
				while [ $j -lt $n ]; do echo "$text $j"; j=$((j + 1)); done
			} > "$d/13$(printf '%08d' $i).M$i.nas,S=$n:2,S"
			i=$((i + 1))
		done
	done
done
# Photos: 200 of 1 to 4 MB, incompressible like real JPEGs.
for y in 2009 2010 2011; do
	mkdir -p "photos/$y"
	i=0
	while [ $i -lt 66 ]; do
		kb=$(((i * 613 + y) % 3072 + 1024))
		dd if=/dev/urandom of="$(printf 'photos/%s/IMG_%04d.JPG' $y $i)" bs=1024 count=$kb 2>/dev/null
		i=$((i + 1))
	done
done
# Documents: 1,200 of 2 to 60 KB.
for t in contracts invoices letters reports; do
	mkdir -p "documents/$t"
	i=0
	while [ $i -lt 300 ]; do
		kb=$(((i * 37 + ${#t} * 11) % 59 + 2))
		dd if=/dev/urandom of="$(printf 'documents/%s/%s-%04d.odt' $t $t $i)" bs=1024 count=$kb 2>/dev/null
		i=$((i + 1))
	done
done
# Videos: four of 20 to 50 MB.
mkdir videos
for i in 0 1 2 3; do
	dd if=/dev/urandom of="videos/clip-$i.mp4" bs=1M count=$((20 + i * 10)) 2>/dev/null
done
cd /
fx_log "$(df -k $M | tail -1)"
fx_snapshot /dev/mapper/vg1-share $M
fx_umount $M

fx_record_stack
lvm vgchange -an vg1
mdadm --stop /dev/md0
