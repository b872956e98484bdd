#!/usr/bin/env bash
# Proves check-include-cycles.sh sees a circle that runs through a source file: a.h includes
# b.h, b.cpp includes c.h, c.h includes a.h. A tree without the last include passes.
set -uo pipefail
check="$(dirname "$0")/check-include-cycles.sh"
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
mkdir "$tree/app"
echo '#include "app/b.h"' >"$tree/app/a.h"
touch "$tree/app/b.h"
printf '#include "app/b.h"\n#include "app/c.h"\n' >"$tree/app/b.cpp"
echo '#include "app/a.h"' >"$tree/app/c.h"
if out=$("$check" "$tree"); then
  echo "the circle a -> b -> c went unseen"
  exit 1
fi
for unit in app/a app/b app/c; do
  grep -q "$unit" <<<"$out" || { echo "the report leaves out $unit: $out"; exit 1; }
done
: >"$tree/app/c.h"
"$check" "$tree" >/dev/null || { echo "a tree without a circle failed"; exit 1; }
echo "the check sees a circle through a source file"
