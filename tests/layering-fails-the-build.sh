#!/usr/bin/env bash
# Proves that the build refuses a layer that includes a header above it: a copy of the
# project (links to its files) gets an engine header that includes the wizard's state, and
# building it must fail at the layering check, naming the include, before compiling anything.
# Usage: layering-fails-the-build.sh PROJECT_ROOT
set -uo pipefail
project=$(cd "$1" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

mkdir "$scratch/project"
for entry in "$project"/*; do
  case $(basename "$entry") in
    build*) ;;                               # build trees of the project are no sources
    src) cp -rs "$entry" "$scratch/project/src" ;;
    *) ln -s "$entry" "$scratch/project/" ;;
  esac
done
echo '#include "app/WizardState.h"' >"$scratch/project/src/reiserfs/format/ReachesUp.h"

cmake -S "$scratch/project" -B "$scratch/build" -G Ninja -DVANTREL_BUILD_TESTS=OFF >"$scratch/configure.log" 2>&1 || {
  cat "$scratch/configure.log"
  echo "the copy of the project did not configure"
  exit 1
}
if cmake --build "$scratch/build" --target vantrel_base >"$scratch/build.log" 2>&1; then
  echo "the build went on although reiserfs/format includes the wizard"
  exit 1
fi
grep -q 'reiserfs/format/ReachesUp.h includes "app/WizardState.h"' "$scratch/build.log" || {
  cat "$scratch/build.log"
  echo "the build failed, but not at the layering check"
  exit 1
}
if ls "$scratch/build/src/CMakeFiles/vantrel_base.dir/base/"*.o >/dev/null 2>&1; then
  echo "sources were compiled before the layering check"
  exit 1
fi
echo "the build stops at the layering check"
