#!/usr/bin/env bash
# Draws the libraries and programs and what each links (CMake's --graphviz) into
# docs/libraries.svg, for docs/ARCHITECTURE.md. Tests, benchmarks, fuzz targets and
# outside libraries are left out. Needs graphviz (dot).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/apt-install-missing.sh graphviz
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cat >"$scratch/CMakeGraphVizOptions.cmake" <<'OPTIONS'
set(GRAPHVIZ_GRAPH_NAME "vantrel")
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_CUSTOM_TARGETS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "_tests$" "vantrel_test_support" "vantrel_failing_new" "vantrel-draw-pictures" "_autogen")
OPTIONS
cmake -S . -B "$scratch" -G Ninja -DVANTREL_BUILD_TESTS=OFF --graphviz="$scratch/libraries.dot" >/dev/null
# Top to bottom as the layers stand: the front ends above, base at the foot.
sed -i 's/^digraph "vantrel" {/digraph "vantrel" {\n  rankdir = "BT";\n  node [fontname = "sans-serif", fontsize = 11];/' "$scratch/libraries.dot"
dot -Tsvg "$scratch/libraries.dot" -o docs/libraries.svg
echo "docs/libraries.svg"
