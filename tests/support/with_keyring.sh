#!/usr/bin/env bash
# Runs a command in this session bus with an unlocked keyring of its own. The daemon returns
# before its secret service is on the bus, and a request sent then would start a second, locked
# one through D-Bus activation: wait for the name first.
set -euo pipefail
export XDG_DATA_HOME=$(mktemp -d)
trap 'rm -rf "$XDG_DATA_HOME"' EXIT
echo -n natalis | gnome-keyring-daemon --unlock --components=secrets >/dev/null
for _ in $(seq 100); do
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.secrets | grep -q "boolean true" && break
  sleep 0.05
done
"$@"
