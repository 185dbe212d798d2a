#!/usr/bin/env bash
# Installs the Debian 12 packages natalis needs: `deps.sh run` only what building and running
# the program takes (a newcomer's first start should not wait for compositors and servers it
# never uses); without an argument also what the tests, benchmarks and the package need.
# Idempotent: packages already present are skipped, apt is only asked when something is missing.
set -euo pipefail

run_packages=(
  cmake g++ ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n
  qt6-l10n-tools qt6-gtk-platformtheme libxcb1-dev
  libqt6sql6-sqlite
  libsqlcipher-dev libicu-dev libcpp-httplib-dev libssl-dev qtkeychain-qt6-dev libcurl4-openssl-dev
  fonts-noto-cjk
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-pulseaudio
)
test_packages=(
  sqlcipher openssl
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth x11-apps imagemagick
  # packaging: validators, icon renders, the Debian package's tools
  appstream desktop-file-utils librsvg2-bin dpkg-dev file lintian
  # the desktop tests: window manager, late tray, private sound server, input and X tools
  openbox trayer pulseaudio pulseaudio-utils sox xdotool x11-utils
  # the desktop tests' StatusNotifierItem panel, private session bus and notification server
  lxqt-panel dbus dbus-bin dbus-daemon python3-dbus python3-gi
  # the Wayland scenarios: GNOME's compositor with Xwayland, weston, sway and its screenshots,
  # Qt's Wayland client
  mutter xwayland weston sway grim qt6-wayland
  # the calendar file's check by an independent parser
  python3 python3-icalendar
  # the mail reminder's loopback SMTP server
  python3-aiosmtpd
  # calendar and address-book servers, clients of their own, the desktop's secret store
  radicale xandikos python3-caldav python3-vobject gnome-keyring
  # the address-book benchmark's peer, syncing the same Radicale address book
  vdirsyncer
)

packages=("${run_packages[@]}")
[[ ${1:-all} == run ]] || packages+=("${test_packages[@]}")

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
