#!/usr/bin/env bash
# Builds the Debian package (cpack -G DEB) from a configured build folder
# (default build/, or $BUILD). With --try it also installs the package with
# dpkg, checks the installed files and program, and removes it again: run it
# as root (or with sudo) on a machine where Dromo is not installed otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}
try=0
[ "${1:-}" = "--try" ] && try=1

cmake --build "$build" --target dromo dromo-fetch tessarin dromo_man_pages
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls -t "$build"/dromo_*.deb | head -1)
echo "package: $deb"
dpkg-deb --field "$deb" Package Version Depends
[ $try -eq 1 ] || exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
if dpkg-query -W -f='${Status}' dromo 2>/dev/null | grep -q "install ok installed"; then
  echo "dromo is installed already: not trying the package over it" >&2
  exit 1
fi
fail() { echo "FAILED: $*" >&2; "${as_root[@]}" dpkg -r dromo >/dev/null 2>&1 || true; exit 1; }

"${as_root[@]}" dpkg -i "$deb" >/dev/null || fail "dpkg -i (missing dependencies?)"
[ "$(/usr/bin/dromo --version)" = "dromo $(dpkg-deb --field "$deb" Version)" ] || fail "dromo --version"
for f in /usr/bin/tessarin /usr/bin/dromo-fetch /usr/share/applications/dromo.desktop \
         /usr/share/icons/hicolor/scalable/apps/dromo.svg /usr/share/dromo/help/options.html \
         /usr/share/dromo/screenshots/main-window.png \
         /usr/share/metainfo/com.tarnwick.Dromo.metainfo.xml /usr/share/doc/dromo/copyright \
         /usr/share/man/man1/dromo.1.gz /usr/share/man/man1/dromo-fetch.1.gz /usr/share/man/man1/tessarin.1.gz; do
  [ -e "$f" ] || fail "$f not installed"
done
grep -qx 'Exec=/usr/bin/dromo --automation' /usr/share/dbus-1/services/DROMO.URLMonitor.service ||
  fail "the packaged D-Bus service file does not name /usr/bin/dromo"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net /usr/share/metainfo/com.tarnwick.Dromo.metainfo.xml >/dev/null ||
    fail "appstreamcli validate"
fi

# The installed program starts (offscreen, on a bus of its own, in a fresh
# home), writes the per-user activation file naming itself, and ends on SIGTERM.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home \
  QT_QPA_PLATFORM=offscreen timeout 60 dbus-run-session -- bash -c '
    dromo & pid=$!
    for i in $(seq 1 100); do
      [ -s "$XDG_DATA_HOME/dbus-1/services/DROMO.URLMonitor.service" ] && break
      sleep 0.1
    done
    kill -TERM $pid; wait $pid' || fail "the installed dromo did not start and end cleanly"
grep -qx 'Exec=/usr/bin/dromo --automation' "$home/data/dbus-1/services/DROMO.URLMonitor.service" ||
  fail "the running dromo's activation file does not name /usr/bin/dromo"

"${as_root[@]}" dpkg -r dromo >/dev/null || fail "dpkg -r"
for f in /usr/bin/dromo /usr/share/applications/dromo.desktop /usr/share/dbus-1/services/DROMO.URLMonitor.service; do
  [ ! -e "$f" ] || fail "$f left behind after removal"
done
echo "installed, started, ended and removed cleanly"
