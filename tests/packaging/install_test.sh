#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and checks what a desktop needs of it: the
# programs, the launcher and the AppStream metadata (by their validators), every icon size, and
# that the installed companion keeps its database in the user's data folder.
# Usage: install_test.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1 id=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix

cmake --install "$build" --prefix "$prefix" >/dev/null

fail() { echo "FAIL: $*" >&2; exit 1; }
for f in bin/natalis bin/natalis-cli; do
  [[ -x $prefix/$f ]] || fail "$f not installed"
done
launcher=$prefix/share/applications/$id.desktop
metainfo=$prefix/share/metainfo/$id.metainfo.xml
desktop-file-validate "$launcher" || fail "launcher refused"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "metadata refused"
grep -qx "Exec=natalis %f" "$launcher" || fail "launcher Exec"
grep -qx "Icon=$id" "$launcher" || fail "launcher Icon"
grep -qx "Name=生日提醒" "$launcher" || fail "launcher Name"
grep -qx "StartupWMClass=natalis" "$launcher" || fail "launcher StartupWMClass"
icons=$prefix/share/icons/hicolor
[[ -s $icons/scalable/apps/$id.svg ]] || fail "scalable icon"
for size in 16 22 24 32 48 64 128 256; do
  png=$icons/${size}x$size/apps/$id.png
  [[ $(file -b "$png") == "PNG image data, $size x $size,"* ]] || fail "icon $size: $(file -b "$png")"
done

# Installed, the companion looks for the program's database in the user's data folder, not
# beside itself (which root could write). It creates no database, so its refusal names the path.
refusal=$(XDG_DATA_HOME=$tmp/data "$prefix/bin/natalis-cli" due --date 2026-03-31 2>&1 >/dev/null || true)
[[ $refusal == *"$tmp/data/natalis/natalis.mdb"* ]] || fail "database not sought in the data folder: $refusal"
echo "install: programs, launcher, metadata, icons and data folder in order"
