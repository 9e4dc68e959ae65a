#!/usr/bin/env bash
# Builds the Debian package from a built tree and checks it as apt and a user would meet it: the
# files it holds, the validators and lintian, and the programs run from the unpacked package.
# Usage: SCRIPT BUILD_DIR SOURCE_DIR. Exit 77 when the packaging tools are missing.
set -euo pipefail
# shellcheck source-path=SCRIPTDIR source=../support/harness.sh
source "$(dirname "$0")/../support/harness.sh"
BUILD=$(realpath "${1:?usage: $0 BUILD_DIR SOURCE_DIR}")
SOURCE=$(realpath "${2:?usage: $0 BUILD_DIR SOURCE_DIR}")
need_tools cpack dpkg-deb dpkg-shlibdeps
make_work

cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK/out" >"$WORK/cpack.log" 2>&1 ||
  { cat "$WORK/cpack.log" >&2; exit 1; }
DEB=$(echo "$WORK"/out/qornc_*.deb)
[ -f "$DEB" ] || { echo "FAIL: cpack made no qornc_*.deb" >&2; exit 1; }

# The file list: everything a desktop, man, a software centre and systemd look for, under /usr.
dpkg-deb -c "$DEB" | awk '{print $6}' | sed 's|^\./||' >"$WORK/files"
expected=(usr/bin/qornc usr/bin/qornc-launcher usr/bin/qornc-server
  usr/share/applications/qornc.desktop usr/share/metainfo/io.github.qornc.qornc.metainfo.xml
  usr/share/man/man1/qornc.1.gz usr/share/man/man1/qornc-launcher.1.gz
  usr/lib/systemd/system/qornc-server.service
  usr/share/doc/qornc/copyright usr/share/doc/qornc/changelog.gz)
[ -f "$SOURCE/server/qornc-server.1" ] && expected+=(usr/share/man/man1/qornc-server.1.gz)
for size in 16 32 48 64 128 256; do
  expected+=("usr/share/icons/hicolor/${size}x${size}/apps/qornc.png")
done
for file in "${expected[@]}"; do
  grep -qxF "$file" "$WORK/files" || fault "the package lacks /$file"
done
outside=$(grep -v -e '^usr/$' -e '^usr/bin/' -e '^usr/share/' -e '^usr/lib/$' -e '^usr/lib/systemd/' "$WORK/files" || true)
[ -z "$outside" ] || fault "the package installs outside /usr/bin, /usr/share and the unit folder: $outside"

# The control data: a section, a maintainer, and library dependencies found by shlibdeps. No
# script may add files, and without a postrm dpkg forgets the package wholly on removal.
dpkg-deb -f "$DEB" Section | grep -qx net || fault "the section is not net"
dpkg-deb -f "$DEB" Maintainer | grep -q '^[^<]\+ <[^@ ]\+@[^> ]\+>$' || fault "the maintainer is not 'Name <address>'"
dpkg-deb -f "$DEB" Depends | grep -q 'libqt6widgets6 (>= ' || fault "Depends lacks the Qt libraries: $(dpkg-deb -f "$DEB" Depends)"
dpkg-deb -f "$DEB" Recommends | grep -q 'qt6-wayland' || fault "Recommends lacks qt6-wayland"
dpkg-deb -f "$DEB" Recommends | grep -q 'qt6-translations-l10n' || fault "Recommends lacks Qt's own translations"
# The project has no web site: a package must not send users to one that does not exist.
[ -z "$(dpkg-deb -f "$DEB" Homepage)" ] || fault "the package names a home page"
scripts=$(dpkg-deb --ctrl-tarfile "$DEB" | tar -t | grep -e preinst -e postinst -e postrm || true)
[ -z "$scripts" ] || fault "the package carries $scripts"

ROOT=$WORK/root
dpkg-deb -x "$DEB" "$ROOT"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$ROOT/usr/share/applications/qornc.desktop" || fault "desktop-file-validate reports errors"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$ROOT"/usr/share/metainfo/*.metainfo.xml >"$WORK/as.log" 2>&1 &&
    appstreamcli validate-tree --no-net "$ROOT" >>"$WORK/as.log" 2>&1 || { cat "$WORK/as.log" >&2; fault "appstreamcli reports errors"; }
fi
if command -v lintian >/dev/null; then
  # Warnings are shown, errors fail.
  lintian --fail-on error "$DEB" >"$WORK/lintian.log" 2>&1 || fault "lintian reports errors"
  grep -v 'root privileges' "$WORK/lintian.log" || true
fi
if command -v man >/dev/null; then
  for page in "$ROOT"/usr/share/man/man1/*.1.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fault "$(basename "$page") renders with warnings: $warnings"
  done
fi

# The unit runs the packaged server, hardened; systemd need not be running to judge that.
BIN=$ROOT/usr/bin
UNIT=$ROOT/usr/lib/systemd/system/qornc-server.service
exec_start=$(sed -n 's/^ExecStart=//p' "$UNIT")
case "$exec_start" in
  "/usr/bin/qornc-server "*) ;;
  *) fault "the unit starts '$exec_start', not /usr/bin/qornc-server" ;;
esac
if command -v systemd-analyze >/dev/null; then
  sed "s|^ExecStart=/usr/bin/|ExecStart=$BIN/|" "$UNIT" >"$WORK/qornc-server.service"
  systemd-analyze verify --man=no "$WORK/qornc-server.service" || fault "systemd-analyze verify reports errors"
  systemd-analyze security --offline=yes --threshold=20 "$WORK/qornc-server.service" >"$WORK/security" 2>&1 ||
    fault "the unit's exposure is above 2.0: $(tail -1 "$WORK/security")"
fi

# The unit's command line must be one the server accepts: run it on a state folder of our own and
# a port the system picks.
read -r -a command <<<"${exec_start//\/var\/lib\/qornc-server\//$WORK\/state\/}"
mkdir -m 700 "$WORK/state"
start_server "$BIN/qornc-server" "${command[@]:1}" --listen 127.0.0.1 --port 0 ||
  fault "the unit's server did not start: $(cat "$SERVER_LOG")"
kill -TERM "$SERVER" 2>/dev/null || true
status=0
wait "$SERVER" || status=$?
[ "$status" = 0 ] || fault "the unit's server ended with $status on SIGTERM"
[ -f "$WORK/state/accounts" ] || fault "the unit's server wrote no accounts file into its state folder"

verdict "package: all checks passed ($(basename "$DEB"))"
