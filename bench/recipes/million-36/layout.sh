# million-36: one ReiserFS 3.6 partition (4 KiB blocks) filled like a mail spool: by
# default 100 users of 99 mail folders (10,000 folders) holding 1,000,000 messages of
# 22 bytes to about 250 KB, and three big files. The tree's root is at level 4.
# Scale (host environment, read here and handed to the VM):
#   MILLION_USERS (100), MILLION_FOLDERS_PER_USER (99), MILLION_MESSAGES_PER_FOLDER (101)
#   MILLION_DISK (8G): disk size; the image stays sparse
# Made on demand and cached by bench/make-million-image.sh.
users=${MILLION_USERS:-100}
folders=${MILLION_FOLDERS_PER_USER:-99}
messages=${MILLION_MESSAGES_PER_FOLDER:-101}
echo "$users $folders $messages" > "$FX_PAYLOAD/scale"
fx_disk "${MILLION_DISK:-8G}"
sectors=$(($(stat -c %s "$FX_IMG") / 512 - 2048))
fx_sfdisk <<T
label: dos
start=2048, size=$sectors, type=83
T
fx_mkreiserfs 2048 "$sectors" -l SPOOL
fx_sparse_image
fx_describe 1 "ReiserFS 3.6, 4 KiB blocks, label SPOOL: $users users x $folders mail folders x $messages"
fx_describe 1 "messages (maildir names, 22 bytes to about 250 KB), one index file per user, 3 big files."
fx_expect 1 reiserfs 3.6
fx_expect 1 root_level 4
fx_note "The entries are a sample (fx_snapshot_sample): every folder's first and last message, every user's index file and the big files; counts cover every entry."
