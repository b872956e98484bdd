#!/usr/bin/env bash
# A long random walk through the window: scripts/window-walk.sh [steps] [first seed] [seeds].
# Each seed walks its steps on the offscreen platform; a failing seed is printed, to be kept
# among the regression seeds of tests/qt/WindowWalkTest.cpp.
set -uo pipefail
cd "$(dirname "$0")/.."
steps=${1:-100000}
first=${2:-1000}
seeds=${3:-1}
ninja -C build qt_tests >/dev/null || exit 1
failed=0
for ((seed = first; seed < first + seeds; ++seed)); do
  if ! QT_QPA_PLATFORM=offscreen VANTREL_WALK_SEED=$seed VANTREL_WALK_STEPS=$steps \
      build/bin/qt_tests --gtest_filter='WindowWalk.LongWalkFromTheEnvironment' >"/tmp/window-walk-$seed.log" 2>&1; then
    echo "seed $seed failed: /tmp/window-walk-$seed.log"
    failed=1
  else
    echo "seed $seed: $steps steps clean"
  fi
done
exit $failed
