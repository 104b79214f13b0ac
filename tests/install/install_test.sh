#!/usr/bin/env bash
# Installs the build into a temporary prefix and runs the installed monitor offscreen as a user who
# may not write there (nobody, with a fresh home): it must answer --version, create its data folder,
# write its settings there when it is closed by SIGTERM, and write nothing into the prefix.
#   install_test.sh BUILD_DIR VERSION        (needs root to act as nobody; exits 77 = skipped otherwise)
set -euo pipefail
build="$1" version="$2"
if [ "$(id -u)" -ne 0 ]; then echo "not root: cannot run the program as another user"; exit 77; fi

work=$(mktemp -d) pid=""
trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null; rm -rf "$work"' EXIT
chmod 755 "$work"
prefix="$work/prefix" home="$work/home"
cmake --install "$build" --prefix "$prefix" >/dev/null
mkdir -p "$home/run" && chmod 700 "$home/run" && chown -R nobody "$home"
as_nobody() {
  exec setpriv --reuid=nobody --regid=nogroup --clear-groups \
    env -i HOME="$home" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$home/run" \
    ASAN_OPTIONS="${ASAN_OPTIONS:-}" UBSAN_OPTIONS="${UBSAN_OPTIONS:-}" "$@"
}
fail() { echo "FAIL: $*"; cat "$work/log" 2>/dev/null; exit 1; }

for f in bin/aurivo-usb bin/aurivo-sim bin/aurivo-dump bin/aurivo-export share/man/man1/aurivo-usb.1.gz \
         share/man/man1/aurivo-export.1.gz share/doc/aurivo-usb/copyright share/mime/packages/com.aurivo.UsbMonitor.xml \
         share/icons/hicolor/scalable/apps/com.aurivo.UsbMonitor.svg; do
  [ -e "$prefix/$f" ] || fail "$f not installed"
done
desktop-file-validate "$prefix/share/applications/com.aurivo.UsbMonitor.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/com.aurivo.UsbMonitor.metainfo.xml" >/dev/null \
  || fail "metainfo does not validate"
[ "$(as_nobody "$prefix/bin/aurivo-usb" --version)" = "aurivo-usb $version" ] || fail "--version"
# A mistaken command line is told with the usage, status 2, before any window system is needed.
status=0
env -i PATH=/usr/bin:/bin "$prefix/bin/aurivo-usb" --bogus > "$work/log" 2>&1 || status=$?
[ "$status" -eq 2 ] && grep -q '^Usage: aurivo-usb' "$work/log" || fail "--bogus without a display: $status"
# The saved sessions' file type: by extension, and by the header's first item.
mime="$work/mime"
mkdir -p "$mime/packages" && cp "$prefix/share/mime/packages/com.aurivo.UsbMonitor.xml" "$mime/packages/"
update-mime-database "$mime" || fail "the session file type does not load"
grep -qx 'application/x-aurivo-session:\*\.tst' "$mime/globs" || fail "no *.tst in the file type"
grep -qa '"MinADC"' "$mime/magic" || fail "no header magic in the file type"
grep -q '^MimeType=application/x-aurivo-session;' "$prefix/share/applications/com.aurivo.UsbMonitor.desktop" \
  || fail "the menu entry does not open session files"

find "$prefix" -printf '%p %s %T@\n' | sort > "$work/before"
as_nobody "$prefix/bin/aurivo-usb" > "$work/log" 2>&1 &
pid=$!
# Ready once the program itself catches SIGTERM (bit 15 of its caught-signals mask): from then on it
# closes in order.
deadline=$((SECONDS + 60))
until [ "$(readlink "/proc/$pid/exe")" = "$prefix/bin/aurivo-usb" ] &&
      (( 0x$(awk '/^SigCgt/ {print $2}' "/proc/$pid/status") & 0x4000 )); do
  kill -0 "$pid" 2>/dev/null || fail "the monitor ended early"
  [ $SECONDS -lt $deadline ] || fail "the monitor did not start"
  sleep 0.1
done 2>/dev/null
kill -TERM "$pid"
timeout 60 tail --pid="$pid" -f /dev/null || fail "the monitor did not close after SIGTERM"
status=0
wait "$pid" || status=$?
pid=""
[ "$status" -eq 0 ] || fail "exit status $status"

data="$home/.local/share/aurivo-usb"
[ -s "$data/Aurivo_USB.ini" ] || { ls -la "$data" 2>&1; fail "no settings in $data"; }
find "$prefix" -printf '%p %s %T@\n' | sort | diff "$work/before" - || fail "the prefix changed"
echo "installed monitor kept its files in $data"
