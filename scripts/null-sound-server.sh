#!/usr/bin/env bash
# A sound server without sound hardware, for headless tests and demos: PulseAudio with one null sink,
# "aurivo_null" (48000 Hz mono), whose monitor source records what is played:
#     parec -d aurivo_null.monitor --raw --format=s16le --rate=48000 --channels=1 > played.raw
# It keeps everything in DIR (created): its socket DIR/native, and DIR/runtime as XDG_RUNTIME_DIR, which
# PulseAudio needs of its own when it runs as root. Clients reach it with PULSE_SERVER=unix:DIR/native.
# It runs in the foreground until it is ended (a terminate signal); exits 77 when PulseAudio is missing.
set -euo pipefail
if [ $# -ne 1 ]; then
  echo "usage: $0 DIR" >&2
  exit 2
fi
if ! command -v pulseaudio >/dev/null; then
  echo "null-sound-server: pulseaudio is not installed (scripts/install-deps.sh installs it)" >&2
  exit 77
fi
mkdir -p "$1/runtime"
dir=$(cd "$1" && pwd)
chmod 700 "$dir/runtime"
rm -f "$dir/native"
export XDG_RUNTIME_DIR="$dir/runtime" HOME="$dir"
unset PULSE_SERVER DBUS_SESSION_BUS_ADDRESS
# -n: none of the machine's own configuration (no hardware sinks, no autoloaded modules).
exec pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no --system=no --disallow-exit \
  --log-target=stderr --log-level=warning \
  --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" \
  --load="module-null-sink sink_name=aurivo_null rate=48000 channels=1 format=s16le"
