#!/usr/bin/env bash
# Checks the packages that scripts/package.sh built: lintian (no errors), and the desktop
# entry and the AppStream metainfo as the packages install them.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packaging-tools.sh

shopt -s nullglob
debs=(build/packages/*.deb)
[ ${#debs[@]} -eq 2 ] || { echo "check-packages: expected two packages in build/packages, found ${#debs[@]}" >&2; exit 1; }

echo "== lintian"
lintian --fail-on error "${debs[@]}"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$unpacked"; done

echo "== desktop-file-validate"
desktop-file-validate "$unpacked"/usr/share/applications/*.desktop
echo "== appstreamcli validate"
# No network: the screenshots are checked for form, not fetched.
appstreamcli validate --no-net "$unpacked"/usr/share/metainfo/*.metainfo.xml

echo "== contents"
# The console package must not pull in Qt.
if dpkg-deb -f build/packages/vantrel-cli_*.deb Depends | grep -qi qt; then
  echo "check-packages: vantrel-cli depends on Qt" >&2
  exit 1
fi
for deb in "${debs[@]}"; do
  echo "$(dpkg-deb -f "$deb" Package): $(dpkg-deb -f "$deb" Depends)"
  # Both programs read disk images in containers through these libraries (found by shlibdeps).
  for library in libewf libqcow libvmdk libvhdi; do
    if ! dpkg-deb -f "$deb" Depends | grep -q "$library"; then
      echo "check-packages: $(dpkg-deb -f "$deb" Package) does not depend on $library" >&2
      exit 1
    fi
  done
done
echo "check-packages: all checks passed"
