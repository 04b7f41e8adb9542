#!/usr/bin/env bash
# Builds the Debian package, installs it, checks the installed files and starts the installed program
# headless, then removes the package and checks that nothing of it stays behind. Needs root (or sudo)
# and the packages of scripts/install-deps.sh. Usage: scripts/check-package.sh [build folder]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build-deb}
SUDO=""
if [ "$(id -u)" != 0 ]; then SUDO="sudo"; fi
fail() { echo "check-package: $*" >&2; exit 1; }

echo "== building the package in $BUILD"
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPAGERO_BUILD_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j2 >/dev/null
rm -f "$BUILD"/pagero_*.deb
(cd "$BUILD" && cpack -G DEB >/dev/null)
DEB=$(ls "$BUILD"/pagero_*.deb)

echo "== installing $DEB"
$SUDO apt-get install -y -qq "./$DEB" >/dev/null
[ "$(readlink -f /usr/bin/pagero)" = /opt/pagero/pagero ] || fail "/usr/bin/pagero does not lead to /opt/pagero"
desktop-file-validate /usr/share/applications/org.pagero.Pagero.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.pagero.Pagero.metainfo.xml >/dev/null
[ -f /usr/share/icons/hicolor/scalable/apps/pagero.svg ] || fail "no scalable icon"

echo "== starting the installed program"
export QT_QPA_PLATFORM=offscreen
RUNTIME=$(mktemp -d)
export XDG_RUNTIME_DIR=$RUNTIME PAGERO_CONFIGDIR=$RUNTIME
[ "$(timeout 20 pagero --version)" = "Pagero 3.0" ] || fail "pagero --version"
timeout 20 pagero --help >/dev/null || fail "pagero --help"
set +e; timeout 20 pagero --no-such-option 2>/dev/null; rc=$?; set -e
[ $rc = 2 ] || fail "an unknown option ended with $rc, not 2"
ALBUM="$RUNTIME/Ålbum with spaces"
mkdir -p "$ALBUM" && cp /opt/pagero/Samples/*.jpg "$ALBUM/"
pagero "$ALBUM" &
PID=$!
sleep 8
kill -0 $PID 2>/dev/null || fail "the program ended by itself"
kill -TERM $PID
set +e; timeout 20 tail --pid=$PID -f /dev/null; wait $PID; rc=$?; set -e
[ $rc = 0 ] || fail "the program ended with $rc after SIGTERM"
# Started through the /usr/bin link, it found its program folder and wrote the album's thumbnails.
[ -n "$(ls -A /opt/pagero/Overview)" ] || fail "no thumbnails written to the program folder"
rm -rf "$RUNTIME"

echo "== removing the package"
$SUDO apt-get remove -y -qq pagero >/dev/null
for path in /opt/pagero /usr/bin/pagero /usr/share/applications/org.pagero.Pagero.desktop \
            /usr/share/metainfo/org.pagero.Pagero.metainfo.xml /usr/share/icons/hicolor/scalable/apps/pagero.svg; do
  [ ! -e "$path" ] && [ ! -L "$path" ] || fail "$path is left after removing the package"
done
echo "check-package: all good"
