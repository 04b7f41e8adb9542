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
# One reverse-DNS id names the desktop entry, the metainfo and the icons.
ID=org.pagero.Pagero
desktop-file-validate /usr/share/applications/$ID.desktop
appstreamcli validate --no-net /usr/share/metainfo/$ID.metainfo.xml >/dev/null
grep -qx "Icon=$ID" /usr/share/applications/$ID.desktop || fail "the desktop entry does not name the icon $ID"
grep -q "<id>$ID</id>" /usr/share/metainfo/$ID.metainfo.xml || fail "the metainfo does not carry the id $ID"
[ -f /usr/share/icons/hicolor/scalable/apps/$ID.svg ] || fail "no scalable icon"
for size in 16 32 48 64 128 256; do
  [ -f /usr/share/icons/hicolor/${size}x${size}/apps/$ID.png ] || fail "no ${size}x${size} icon"
done

echo "== starting the installed program"
export QT_QPA_PLATFORM=offscreen
HOMEDIR=$(mktemp -d)
# The program runs as a user who cannot write the installed program folder, as a user would: root
# could write /opt/pagero, so a root run goes through the unprivileged user nobody.
RUN=()
if [ "$(id -u)" = 0 ]; then
  chown 65534:65534 "$HOMEDIR"
  RUN=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
chmod 700 "$HOMEDIR"
export HOME=$HOMEDIR XDG_RUNTIME_DIR=$HOMEDIR XDG_DATA_HOME=$HOMEDIR/data XDG_CONFIG_HOME=$HOMEDIR/config
export PAGERO_CONFIGDIR=$HOMEDIR/config
unset PAGERO_EXEDIR
"${RUN[@]}" test ! -w /opt/pagero || fail "the program folder can be written by the user who runs the program"
[ "$("${RUN[@]}" timeout 20 pagero --version)" = "Pagero 3.0" ] || fail "pagero --version"
"${RUN[@]}" timeout 20 pagero --help >/dev/null || fail "pagero --help"
set +e; "${RUN[@]}" timeout 20 pagero --no-such-option 2>/dev/null; rc=$?; set -e
[ $rc = 2 ] || fail "an unknown option ended with $rc, not 2"
ALBUM="$HOMEDIR/Ålbum with spaces"
"${RUN[@]}" mkdir -p "$ALBUM" "$PAGERO_CONFIGDIR"
"${RUN[@]}" cp /opt/pagero/Samples/*.jpg "$ALBUM/"

# Runs the installed program for a few seconds (on the album when given), then ends it with SIGTERM
# as a desktop session would; it must still run then and end cleanly.
run_pagero() {
  "${RUN[@]}" pagero "$@" &
  local pid=$! rc
  sleep 8
  kill -0 $pid 2>/dev/null || fail "the program ended by itself"
  kill -TERM $pid
  set +e; timeout 20 tail --pid=$pid -f /dev/null; rc=$?; set -e
  if [ $rc != 0 ]; then kill -KILL $pid; fail "the program did not end within 20 s of SIGTERM"; fi
  set +e; wait $pid; rc=$?; set -e
  [ $rc = 0 ] || fail "the program ended with $rc after SIGTERM"
}

DATA=$XDG_DATA_HOME/pagero
run_pagero "$ALBUM"
# Started through the /usr/bin link, it found its program folder, could not write it, and wrote its
# settings and the album's thumbnails to the per-user data folder instead.
[ -s "$DATA/~evParam.~ev" ] && [ -s "$DATA/~evParam2.~ev" ] || fail "no settings in $DATA"
[ -f "$PAGERO_CONFIGDIR/Pagero 3.0.ini" ] || fail "no per-user settings key file"
THUMBS="$DATA/Overview/ov$(basename "$ALBUM")"
[ -n "$(ls -A "$THUMBS" 2>/dev/null)" ] || fail "no thumbnails in $THUMBS"
[ -z "$(ls -A /opt/pagero/Overview)" ] || fail "thumbnails were written to the program folder"
[ ! -e "/opt/pagero/~evParam.~ev" ] || fail "settings were written to the program folder"
grep -qF "$ALBUM" "$DATA/~evParam.~ev" || fail "the album is not among the recent folders"

# A restart without an argument reopens the album from the saved settings and keeps the thumbnails
# made before: one removed thumbnail is made again, the others are used as they are.
GONE=$(cd "$THUMBS" && ls -- *.bmp | sed -n 1p)
rm -- "$THUMBS/$GONE"
(cd "$THUMBS" && sha256sum -- *.bmp) >"$HOMEDIR/thumbs.sum"
run_pagero
[ -s "$DATA/~evParam.~ev" ] && [ -s "$DATA/~evParam2.~ev" ] || fail "the settings did not survive a restart"
grep -qF "$ALBUM" "$DATA/~evParam.~ev" || fail "the recent folders did not survive a restart"
[ -s "$THUMBS/$GONE" ] || fail "a restart did not reopen the album from the saved settings"
(cd "$THUMBS" && sha256sum --quiet -c "$HOMEDIR/thumbs.sum") || fail "the thumbnails did not survive a restart"
[ "$(find "$THUMBS" -name '*.bmp' -newer "$HOMEDIR/thumbs.sum")" = "$THUMBS/$GONE" ] ||
  fail "a restart made thumbnails again that were already there"
[ -z "$(ls -A /opt/pagero/Overview)" ] || fail "a restart wrote to the program folder"
rm -rf "$HOMEDIR"

echo "== removing the package"
$SUDO apt-get remove -y -qq pagero >/dev/null
for path in /opt/pagero /usr/bin/pagero /usr/share/applications/org.pagero.Pagero.desktop \
            /usr/share/metainfo/org.pagero.Pagero.metainfo.xml /usr/share/icons/hicolor/scalable/apps/org.pagero.Pagero.svg; do
  [ ! -e "$path" ] && [ ! -L "$path" ] || fail "$path is left after removing the package"
done
echo "check-package: all good"
