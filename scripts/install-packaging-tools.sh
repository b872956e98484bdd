#!/usr/bin/env bash
# Installs what building and checking the Debian packages needs, only what is missing.
set -euo pipefail

exec "$(dirname "$0")/apt-install-missing.sh" dpkg-dev file lintian desktop-file-utils appstream
