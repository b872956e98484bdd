#!/usr/bin/env bash
# Makes the mail-spool ReiserFS 3.6 image of bench/recipes/million-36 once (the kernel
# fills it in a qemu VM without hardware virtualisation: needs root, takes long) and keeps
# it in $VANTREL_CACHE (default ~/.cache/vantrel). Prints the path of the raw, sparse
# image; its manifest lies beside it (NAME.manifest.json).
#
#   bench/make-million-image.sh              1,000,000 messages in 10,000 folders
#   MILLION_USERS=12 MILLION_FOLDERS_PER_USER=60 MILLION_MESSAGES_PER_FOLDER=100 \
#     bench/make-million-image.sh            a smaller spool (72,000 messages), root still at level 4
#
# The image's name carries the scale, so images of several sizes can be kept side by side.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${FX_TOOL:-/work/shared/tools/make-reiserfs-fixture}
cache=${VANTREL_CACHE:-$HOME/.cache/vantrel}
export MILLION_USERS=${MILLION_USERS:-100}
export MILLION_FOLDERS_PER_USER=${MILLION_FOLDERS_PER_USER:-99}
export MILLION_MESSAGES_PER_FOLDER=${MILLION_MESSAGES_PER_FOLDER:-101}
name="million-36-$MILLION_USERS-$MILLION_FOLDERS_PER_USER-$MILLION_MESSAGES_PER_FOLDER"
if [ ! -f "$cache/$name.img" ] || [ ! -f "$cache/$name.manifest.json" ]; then
  mkdir -p "$cache"
  export FX_TIMEOUT=${FX_TIMEOUT:-43200} FX_MEM=${FX_MEM:-1536}
  "$tool" -r -n "$name" -o "$cache" bench/recipes/million-36 >&2
fi
echo "$cache/$name.img"
