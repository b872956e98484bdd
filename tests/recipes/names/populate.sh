# names, VM side: every name is made with printf so that its bytes are exactly the ones
# given, whatever the shell's locale.
M=/mnt/vda1
fx_mount /dev/vda1 $M
cd $M

# A Maildir: flags after ":2," in cur/, none in new/, a sub-folder with a leading dot.
mkdir -p Maildir/cur Maildir/new Maildir/tmp Maildir/.Sent/cur Maildir/.Sent/new Maildir/.Sent/tmp
fx_fill 'Maildir/cur/1291234567.M0P1000.mx0,S=180:2,S' 180
fx_fill 'Maildir/cur/1291234568.M1P1000.mx0,S=2400:2,RS' 2400
fx_fill 'Maildir/cur/1291234569.M2P1000.mx0,S=9000:2,FS' 9000
fx_fill 'Maildir/cur/1291234570.M3P1000.mx0,S=75:2,' 75
fx_fill 'Maildir/new/1291234600.M5P1001.mx0,S=300' 300
fx_fill 'Maildir/.Sent/cur/1291234700.M9P1002.mx0,S=5120:2,S' 5120
fx_fill 'Maildir/dovecot-uidlist' 120

# Legacy encodings.
mkdir -p latin1 eucjp koi8r
fx_fill "$(printf 'latin1/r\351ponse.txt')" 1500
mkdir -p "$(printf 'latin1/caf\351')"
fx_fill "$(printf 'latin1/caf\351/men\374 \340 la carte.txt')" 700
fx_fill "$(printf 'latin1/Stra\337e.txt')" 40
fx_fill "$(printf 'eucjp/\306\374\313\334\270\354.txt')" 3000
mkdir -p "$(printf 'eucjp/\306\374\313\334')"
fx_fill "$(printf 'eucjp/\306\374\313\334/\245\341\245\342.txt')" 600
fx_fill "$(printf 'koi8r/\360\322\311\327\305\324.txt')" 800

# Characters some destinations refuse, and names that become one when they are replaced.
mkdir -p specials 'specials/dir:one' 'specials/dir_one'
fx_fill 'specials/star*.txt' 10
fx_fill 'specials/what?.txt' 20
fx_fill 'specials/say "hi".txt' 30
fx_fill 'specials/<tag>.txt' 40
fx_fill 'specials/pipe|name' 50
fx_fill 'specials/back\slash.txt' 60
fx_fill 'specials/a:b.txt' 70
fx_fill 'specials/a?b.txt' 80
fx_fill 'specials/a_b.txt' 90
fx_fill 'specials/dir:one/inside colon.txt' 100
fx_fill 'specials/dir_one/inside underscore.txt' 110
fx_fill 'plain.txt' 5000

cd /
fx_stamp_all $M 1291161600 61
fx_snapshot /dev/vda1 $M
fx_umount $M
