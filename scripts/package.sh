#!/usr/bin/env bash
# Builds the Debian packages vantrel-cli (the console) and vantrel (the window) into
# build/packages/. The build tree is set to install into /usr; only the programs and the
# files they install are built.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/install-packaging-tools.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
ninja -C build vantrel-cli vantrel vantrel-program-folder vantrel-manual-pages vantrel-debian-changelog
rm -rf build/packages
(cd build && cpack -G DEB)
ls -1 build/packages/*.deb
