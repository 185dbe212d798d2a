#!/usr/bin/env bash
# Checks a built natalis .deb: its contents and lintian's verdict, then installs it (as root), starts the installed
# program under Xvfb from a fresh home and removes the package again, leaving the machine as it
# was. Usage: deb_test.sh PACKAGE.deb
set -euo pipefail
deb=$1
id=io.github.natalis.natalis
fail() { echo "FAIL: $*" >&2; exit 1; }

contents=$(dpkg -c "$deb" | awk '{print $6}')
doc=./usr/share/doc/natalis
for f in ./usr/bin/natalis ./usr/bin/natalis-cli $doc/copyright $doc/changelog.Debian.gz $doc/README \
  ./usr/share/man/man1/natalis.1.gz ./usr/share/man/man1/natalis-cli.1.gz \
  ./usr/share/applications/$id.desktop ./usr/share/metainfo/$id.metainfo.xml \
  ./usr/share/icons/hicolor/scalable/apps/$id.svg ./usr/share/icons/hicolor/48x48/apps/$id.png; do
  grep -qxF "$f" <<<"$contents" || fail "$f missing from the package"
done
! grep -q sms-gateway-sim <<<"$contents" || fail "the developers' SMS gateway simulator is packaged"
echo "deb: $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"
echo "deb: Depends: $(dpkg-deb -f "$deb" Depends)"
lintian --fail-on error,warning "$deb" || fail "lintian: errors or warnings above"
echo "deb: lintian clean"

if dpkg-query -W -f='${Status}' natalis 2>/dev/null | grep -q 'install ok installed'; then
  fail "natalis is installed already; not touching it"
fi
home=$(mktemp -d)
cleanup() {
  dpkg -r natalis >/dev/null 2>&1 || true
  rm -rf "$home"
}
trap cleanup EXIT
dpkg -i "$deb" >/dev/null
desktop-file-validate /usr/share/applications/$id.desktop

# Started as the menu starts it (the launcher's command, no file), the installed program stays
# up and makes its database in the user's data folder.
command=$(sed -n 's/^Exec=//p' /usr/share/applications/$id.desktop)
command=${command% %f}
mkdir -m 700 "$home/run"
HOME=$home XDG_DATA_HOME= XDG_CONFIG_HOME= XDG_RUNTIME_DIR=$home/run QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
    '"$command"' & pid=$!
    for _ in $(seq 50); do [[ -f $HOME/.local/share/natalis/natalis.mdb ]] && break; sleep 0.2; done
    sleep 2
    kill -0 $pid || { echo "FAIL: natalis ended early" >&2; exit 1; }
    kill $pid; wait $pid || true
    [[ -f $HOME/.local/share/natalis/natalis.mdb ]] || { echo "FAIL: no database in the data folder" >&2; exit 1; }'
[[ ! -e /usr/bin/natalis.mdb ]] || fail "database written beside the installed program"
echo "deb: installed, started under Xvfb, removed"
