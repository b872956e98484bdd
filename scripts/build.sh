#!/usr/bin/env bash
# Configures and builds into build/ (incrementally). Arguments are passed to ninja.
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/build.ninja ] || cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C build "$@"
