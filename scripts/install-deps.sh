#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, only those that are missing.
set -euo pipefail

exec "$(dirname "$0")/apt-install-missing.sh" \
  build-essential cmake ninja-build pkg-config zstd libzstd-dev libcli11-dev nlohmann-json3-dev \
  libgtest-dev libgmock-dev libbenchmark-dev libssl-dev \
  qt6-base-dev libgl-dev dbus-daemon libfuse3-dev fuse3 \
  libewf-dev libqcow-dev libvmdk-dev libvhdi-dev libbfio-dev ewf-tools qemu-utils
