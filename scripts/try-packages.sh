#!/usr/bin/env bash
# Installs the packages in build/packages with apt, checks that both programs run from PATH,
# that the manual pages, menu entry and icons are in place and that the installed window
# finds its settings, then removes the packages again (purged), leaving the machine as it was.
set -euo pipefail
cd "$(dirname "$0")/.."

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
for package in vantrel vantrel-cli; do
  if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    echo "try-packages: $package is installed already; not touching it" >&2
    exit 1
  fi
done

remove() { DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq vantrel vantrel-cli >/dev/null || true; }
trap remove EXIT
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends ./build/packages/*.deb >/dev/null

fail() { echo "try-packages: $*" >&2; exit 1; }
[ "$(command -v vantrel-cli)" = /usr/bin/vantrel-cli ] || fail "vantrel-cli is not on PATH"
[ "$(command -v vantrel)" = /usr/bin/vantrel ] || fail "vantrel is not on PATH"
vantrel-cli --version
QT_QPA_PLATFORM=offscreen vantrel --version
for page in vantrel-cli vantrel; do
  dpkg-deb -c build/packages/"${page}"_*.deb | grep "man1/$page.1.gz" >/dev/null || fail "no manual page $page(1)"
  # Minimal images keep man-db out, or tell dpkg to leave manual pages out.
  if command -v man >/dev/null && [ -f "/usr/share/man/man1/$page.1.gz" ]; then
    man -w "$page" >/dev/null || fail "man does not find $page(1)"
  fi
done
[ -f /usr/share/applications/vantrel.desktop ] || fail "no menu entry"
[ -f /usr/share/icons/hicolor/scalable/apps/vantrel.svg ] || fail "no icon"
grep -q '^FilePath=/usr/share/vantrel$' /etc/VantrelOrgReiserFS.conf || fail "settings do not name /usr/share/vantrel"
[ -f /usr/share/vantrel/Step1.bmp ] && [ -f /usr/share/vantrel/EnglishA.dat ] || fail "program folder incomplete"
# The menu entry's command starts the window: it finds its settings and keeps its activity
# log in the user's state folder, not in the installed program folder.
state=$(mktemp -d)
# (without its field code: a launcher puts the files opened there)
command=$(sed -n 's/^Exec=//p' /usr/share/applications/vantrel.desktop | sed 's/ %[fFuU]$//')
XDG_STATE_HOME="$state" QT_QPA_PLATFORM=offscreen timeout 5 $command && fail "the window ended at once" || true
[ -f "$state/vantrel/rtDebugTest.txt" ] || fail "the window did not start its activity log in \$XDG_STATE_HOME/vantrel"
[ ! -e /usr/share/vantrel/rtDebugTest.txt ] || fail "the window wrote into its installed program folder"
rm -rf "$state"
# The console reads a disk image as it does from the build.
image=$(mktemp)
truncate -s 1M "$image"
vantrel-cli --disk "$image" partitions --json >/dev/null || fail "vantrel-cli could not read a disk image"
rm -f "$image"
echo "try-packages: both programs installed and ran"
