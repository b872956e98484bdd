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
set(GRAPHVIZ_EXTERNAL_LIBS FALSE)
set(GRAPHVIZ_GENERATE_PER_TARGET FALSE)
set(GRAPHVIZ_GENERATE_DEPENDERS FALSE)
set(GRAPHVIZ_CUSTOM_TARGETS FALSE)
set(GRAPHVIZ_IGNORE_TARGETS "_tests$" "vantrel_test_support" "vantrel_failing_new" "vantrel-draw-pictures" "_autogen")
OPTIONS
cmake -S . -B "$scratch" -G Ninja -DVANTREL_BUILD_TESTS=OFF --graphviz="$scratch/libraries.dot" >/dev/null
# Without the legend; the programs on top, base at the foot, as the layers stand.
python3 - "$scratch/libraries.dot" <<'TIDY'
import re, sys
path = sys.argv[1]
text = open(path).read()
text = re.sub(r"subgraph clusterLegend \{.*?\n\}\n", "", text, flags=re.S)
open(path, "w").write(text)
TIDY
dot -Tsvg "$scratch/libraries.dot" -o docs/libraries.svg
echo "docs/libraries.svg"
