# million-36, VM side. Shell built-ins only in the inner loop (one write per message), so
# that a million files are written in the time the emulated machine allows.
read -r users folders messages < /payload/scale
M=/mnt/vda1
fx_mount /dev/vda1 $M
cd $M
# A 4 KiB body to cut messages from, and a 64 KiB one for the rare large message.
line='Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor 0123456'
body=''
i=0
while [ $i -lt 45 ]; do body="$body$line
"; i=$((i + 1)); done
big="$body$body$body$body$body$body$body$body$body$body$body$body$body$body$body$body"
: > /tmp/sample
n=0
u=0
while [ $u -lt "$users" ]; do
	ud=$(printf 'user%04d' $u)
	mkdir "$ud"
	printf 'uidvalidity %d\nnext %d\n' $u $((folders * messages)) > "$ud/dovecot-uidlist"
	echo "./$ud/dovecot-uidlist" >> /tmp/sample
	f=0
	while [ $f -lt "$folders" ]; do
		d="$ud/.folder$f"
		mkdir "$d"
		m=0
		while [ $m -lt "$messages" ]; do
			name="$d/$((1306929600 + n)).M${m}P$u.spool,S=$n:2,S"
			# bodies of 0 to 3,984 bytes; one message in 997 holds 1 to 4 times 62 KiB
			r=$(((n * 7919) % 997))
			if [ $r -eq 0 ]; then
				k=$((1 + n % 4))
				{
					echo "Message-Id: <$n@spool>"
					while [ $k -gt 0 ]; do printf '%s' "$big"; k=$((k - 1)); done
				} > "$name"
			else
				printf 'Message-Id: <%d@spool>\n%s' $n "${body:0:$((r * 4))}" > "$name"
			fi
			if [ $m -eq 0 ] || [ $m -eq $((messages - 1)) ]; then echo "./$name" >> /tmp/sample; fi
			m=$((m + 1))
			n=$((n + 1))
		done
		f=$((f + 1))
	done
	u=$((u + 1))
done
mkdir attachments
fx_fill attachments/archive-1.bin 3000000
fx_fill attachments/archive-2.bin 12000000
fx_fill attachments/archive-3.bin 700000
ls ./attachments/* >> /tmp/sample
cd /
fx_snapshot_sample /dev/vda1 $M /tmp/sample
fx_umount $M
