#!/usr/bin/env bash
# Configures and builds into build/ (incrementally). Arguments are passed to ninja.
set -euo pipefail
cd "$(dirname "$0")/.."
launcher=()
# A compiler cache, when the machine has one, makes builds of other checkouts of the tree cheap.
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
# VANTREL_WERROR=ON: a warning fails the build (CI, once the tree builds without one).
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DVANTREL_WERROR="${VANTREL_WERROR:-OFF}" >/dev/null
ninja -C build "$@"
