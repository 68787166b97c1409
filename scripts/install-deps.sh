#!/usr/bin/env bash
# Installs the Debian packages Dromo needs to build, run and test, when they
# are missing. Uses sudo when not run as root. With --browser-tests also
# Chromium, Firefox ESR, Node.js and the test's npm packages (playwright-core, and
# hls.js for the page that plays a video stream) for the browser capture tests.
set -euo pipefail
cd "$(dirname "$0")/.."
browser_tests=0
[ "${1:-}" = "--browser-tests" ] && browser_tests=1

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-svg-dev
  # the translations: lupdate and lrelease with their CMake functions, and
  # Qt's own texts (standard buttons) in the user's language
  qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
  libcurl4-openssl-dev libssl-dev ca-certificates libsecret-1-dev libxml2-dev zlib1g-dev
  # video streams become one file through libavformat; the tests make and check
  # their streams with ffmpeg and ffprobe
  libavformat-dev libavcodec-dev libavutil-dev ffmpeg
  libgtest-dev libgmock-dev
  # real servers for the tests and benchmarks, all on 127.0.0.1
  nginx-light python3 python3-pyftpdlib tinyproxy curl util-linux time openssl
  apache2 squid vsftpd microsocks
  # host names only a SOCKS proxy resolves (a test of remote name lookup)
  libnss-wrapper
  dbus-daemon python3-dbus python3-dbusmock
  # the journey suite's desktop: an X server, a window manager, a notification
  # area, real input through the X server, gdbus for hand-overs on the bus
  xvfb openbox trayer xdotool xclip libx11-6 libglib2.0-bin fonts-dejavu-core
  # and its accessibility bus, read as a screen reader reads the program
  at-spi2-core python3-pyatspi
  # a real keyring for the password tests; the AppStream metadata's check;
  # dpkg-shlibdeps and friends for cpack -G DEB
  gnome-keyring libsecret-tools appstream dpkg-dev
  # libFuzzer for tests/fuzz (scripts/fuzz.sh)
  clang libclang-rt-dev
  # the C++ style checks (scripts/check-format.sh, tests/support/tidy.py)
  clang-format clang-tidy
  # the manual pages' check
  groff-base man-db
)
if [ $browser_tests -eq 1 ]; then
  # libnss-wrapper gives Dromo a host name of the test's, as the browsers'
  # own switches give them
  packages+=(chromium firefox-esr libnss-wrapper)
  # Node.js may come from elsewhere with npm inside; Debian's otherwise.
  command -v npm >/dev/null || packages+=(nodejs npm)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ $browser_tests -eq 1 ] && { [ ! -d tests/browser/node_modules/playwright-core ] ||
  [ ! -d tests/browser/node_modules/hls.js ]; }; then
  npm ci --prefix tests/browser --no-audit --no-fund --loglevel=error
fi
