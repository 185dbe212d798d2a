#!/usr/bin/env bash
# Installs the Debian 12 packages natalis needs to build, run and test.
# Idempotent: packages already present are skipped, apt is only asked when something is missing.
set -euo pipefail

packages=(
  cmake g++ ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n
  libqt6sql6-sqlite
  # the GTK desktop's theme and colour scheme for the windows
  qt6-gtk-platformtheme
  libsqlcipher-dev sqlcipher
  libgtest-dev libgmock-dev libbenchmark-dev libicu-dev
  libcpp-httplib-dev libssl-dev openssl
  fonts-noto-cjk xvfb xauth x11-apps imagemagick
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio
  # packaging: validators, icon renders, the Debian package's tools, Qt's own translations
  appstream desktop-file-utils librsvg2-bin dpkg-dev file qt6-translations-l10n lintian
  # the desktop tests: window manager, late tray, private sound server, input and X tools
  openbox trayer pulseaudio pulseaudio-utils sox xdotool x11-utils
  # the desktop tests' StatusNotifierItem panel, private session bus and notification server
  lxqt-panel dbus python3-dbus python3-gi
  # the Wayland scenarios: GNOME's compositor with Xwayland, weston, Qt's Wayland client
  mutter xwayland weston qt6-wayland
  # the calendar file's check by an independent parser
  python3 python3-icalendar
  # calendar servers: the desktop's secret store, a CalDAV server and a client of its own
  qtkeychain-qt6-dev radicale python3-caldav
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "deps: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
else
  echo "deps: all present"
fi
