#!/usr/bin/env bash
# Fails when a source folder includes a header of a layer it may not look at. The layers
# look only down: base <- disk <- stacks <- reiserfs <- saving, carving, logs <- app <- app/qt, cli;
# the mount sits on saving, beside app.
# Usage: check-layers.sh [SOURCE_ROOT]   (default: the project's src folder)
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/../src" && pwd)"}

declare -A allowed=(
  [base]="base"
  [disk]="base disk"
  [stacks]="base disk stacks"
  [reiserfs]="base disk stacks reiserfs"
  [saving]="base disk stacks reiserfs saving"
  [carving]="base disk stacks carving"
  [logs]="base disk stacks reiserfs logs"
  [mount]="base disk stacks reiserfs saving mount"
  [app]="base disk stacks reiserfs saving carving logs app"
)

status=0
for layer in "${!allowed[@]}"; do
  [ -d "$root/$layer" ] || continue
  # The folder and its rooms; app/qt, the window, sits above the app layer.
  while IFS= read -r line; do
    file=${line%%:*}
    included=$(sed -E 's/.*#include "([^"/]+)\/.*/\1/' <<<"$line")
    target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"$line")
    case " ${allowed[$layer]} " in
      *" $included "*) [[ $target == app/qt/* ]] || continue ;;
    esac
    echo "layering: ${file#"$root"/} includes \"$target\", above or beside the $layer layer"
    status=1
  done < <(grep -rHE --include='*.h' --include='*.cpp' --exclude-dir=qt '^#include "[^"]+/' "$root/$layer" 2>/dev/null || true)
done
[ $status -eq 0 ] && echo "layering: every folder looks only down"
exit $status
