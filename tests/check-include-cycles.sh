#!/usr/bin/env bash
# Fails when the sources include each other in a circle. A header and its source file count
# as one unit (app/Wizard.h and app/Wizard.cpp are "app/Wizard"); a unit points at every unit
# whose header it includes. Units that reach themselves this way are printed.
# Usage: check-include-cycles.sh [SOURCE_ROOT]   (default: the project's src folder)
set -euo pipefail
root=${1:-"$(cd "$(dirname "$0")/../src" && pwd)"}
root=${root%/}

edges=$(
  cd "$root"
  find . -type f \( -name '*.h' -o -name '*.cpp' \) | sed 's|^\./||' | sort | while IFS= read -r file; do
    unit=${file%.*}
    echo "$unit $unit"
    sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)\.h".*/\1/p' "$file" | while IFS= read -r target; do
      [ -f "$target.h" ] && [ "$target" != "$unit" ] && echo "$unit $target"
    done
  done
)
if loops=$(tsort <<<"$edges" 2>&1 >/dev/null) && [ -z "$loops" ]; then
  echo "include cycles: none"
  exit 0
fi
echo "include cycles: these units include each other in a circle"
awk '/contains a loop/ { if (loop) print loop; loop = " " ; next }
     sub(/^tsort: /, "") { loop = loop " " $0 " ->" }
     END { if (loop) print loop }' <<<"$loops" | sed 's/ ->$//' 
exit 1
