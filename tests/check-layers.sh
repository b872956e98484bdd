#!/usr/bin/env bash
# Fails when a source folder includes a header of a layer it may not look at. The layers look
# only down:
#
#   base <- disk <- stacks <- reiserfs <- saving, logs <- mount
#           disk/containers (disk images in containers, behind disk's DiskSource)
#                  carving (on disk and stacks)
#           imaging (raw images of any disk, on disk)
#   saving, carving, logs, imaging <- recovery (the steps both front ends take)
#   recovery <- app (the wizard's logic) <- app/qt (the window)
#   recovery, mount <- cli (the console: a peer of the window, not above it)
#
# The front ends reach the working engines (saving, carving, imaging, the builds and searches,
# the stacks) only through recovery's steps, whose headers give them the types they show; they
# include the disks', the catalogue's and the logs' own types directly.
#
# and inside reiserfs the rooms do too: format <- search, catalogue <- build.
# The build runs this before it compiles anything (src/CMakeLists.txt), so an include that
# reaches up fails the build.
# Usage: check-layers.sh [SOURCE_ROOT]   (default: the project's src folder)
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/../src" && pwd)"}

front="base disk reiserfs/format reiserfs/catalogue logs recovery"
declare -A allowed=(
  [base]="base"
  [disk]="base disk"
  [disk/containers]="base disk"
  [stacks]="base disk stacks"
  [reiserfs/format]="base disk stacks reiserfs/format"
  [reiserfs/search]="base disk stacks reiserfs/format reiserfs/search"
  [reiserfs/catalogue]="base disk stacks reiserfs/format reiserfs/catalogue"
  [reiserfs/build]="base disk stacks reiserfs/format reiserfs/catalogue reiserfs/build"
  [saving]="base disk stacks reiserfs saving"
  [carving]="base disk stacks carving"
  [imaging]="base disk imaging"
  [logs]="base disk stacks reiserfs logs"
  [recovery]="base disk stacks reiserfs saving carving logs imaging recovery"
  [mount]="base disk stacks reiserfs saving mount"
  [app]="$front app"
  [app/qt]="$front mount app app/qt"
  [cli]="$front mount cli"
)

# The layer a header belongs to: the longest layer whose folder holds it, else its first folder.
layer_of() {
  local path=$1 best="" layer
  for layer in "${!allowed[@]}"; do
    [[ $path == "$layer"/* && ${#layer} -gt ${#best} ]] && best=$layer
  done
  [ -n "$best" ] && echo "$best" || echo "${path%%/*}"
}

# Whether `wanted` is in the list, a layer also granting its rooms (reiserfs: reiserfs/format, ...).
grants() {
  local list=" $1 " wanted=$2
  [[ $list == *" $wanted "* || $list == *" ${wanted%%/*} "* ]]
}

status=0
# Every folder of sources is a layer or a room of one, so that a new folder comes with its rule.
while IFS= read -r folder; do
  folder=${folder#"$root"/}
  for layer in "${!allowed[@]}"; do
    [[ $folder == "$layer" || $folder == "$layer"/* ]] && continue 2
  done
  echo "layering: src/$folder has no rule: add it to check-layers.sh"
  status=1
done < <(find "$root" -mindepth 1 -type f \( -name '*.h' -o -name '*.cpp' \) -printf '%h\n' | sort -u)

for layer in "${!allowed[@]}"; do
  [ -d "$root/$layer" ] || continue
  # A folder's own files and those of its sub-folders that are no layers of their own.
  excludes=()
  for other in "${!allowed[@]}"; do
    [[ $other == "$layer"/* ]] && excludes+=(--exclude-dir="${other#"$layer"/}")
  done
  while IFS= read -r line; do
    file=${line%%:*}
    target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")
    if grants "${allowed[$layer]}" "$(layer_of "$target")"; then continue; fi
    echo "layering: ${file#"$root"/} includes \"$target\", above or beside the $layer layer"
    status=1
  done < <(grep -rHE --include='*.h' --include='*.cpp' "${excludes[@]}" '^#include "[^"]+/' "$root/$layer" 2>/dev/null || true)
done
[ $status -eq 0 ] && echo "layering: every folder looks only down"
exit $status
