# names: a 48 MiB disk, MBR, one primary 0x83 partition: ReiserFS 3.6, 4 KiB blocks, whose
# names are what a mail server and old European and Japanese servers leave behind:
# Maildir messages with their flags after a colon, names in ISO-8859-1, EUC-JP and KOI8-R
# (not UTF-8), names holding * ? " < > | \ and pairs of names that only differ where
# those characters stand.
# Made with the fixture tool: make-reiserfs-fixture -o OUT tests/recipes/names; the image
# and its manifest (zstd -19) go to tests/data.
fx_disk 48M
fx_sfdisk <<'T'
label: dos
start=2048, size=96256, type=83
T
fx_mkreiserfs 2048 96256 -l NAMES

fx_describe 1 "ReiserFS 3.6, 4 KiB blocks, label NAMES: a Maildir with flagged messages, names in"
fx_describe 1 "ISO-8859-1, EUC-JP and KOI8-R, names with * ? \" < > | \\ and : and pairs of names that"
fx_describe 1 "become one when those characters are replaced."
fx_expect 1 reiserfs 3.6
fx_expect 1 min_entries 30
fx_note "Names are written by the kernel with printf escapes: latin1/r\\xe9ponse.txt is ISO-8859-1, eucjp/\\xc6\\xfc\\xcb\\xdc\\xb8\\xec.txt is EUC-JP (three kanji), koi8r/\\xf0\\xd2\\xc9\\xd7\\xc5\\xd4.txt is KOI8-R."
fx_note "Modification times: 2010-12-01 00:00:00 UTC (1291161600) + 61 s x rank in sorted path order."
