#!/usr/bin/env bash
# Installs what is missing, builds the monitor, starts the simulated sensor on COM3 in the monitor's
# folder and starts the monitor. Without a display it runs under Xvfb for the given number of seconds
# (default 45), starts a session through the Session menu, and leaves a screenshot in demo-shot.png.
set -euo pipefail
cd "$(dirname "$0")"
run_seconds="${1:-45}"

./scripts/install-deps.sh
cmake -G Ninja -S . -B build-demo -DCMAKE_BUILD_TYPE=Release -DAURIVO_TESTS=OFF -DAURIVO_BENCH=OFF >/dev/null
cmake --build build-demo

folder="$PWD/build-demo"
# A first run without a settings file asks for the port; the demo's sensor is on COM3, so the demo
# writes a settings file for port 3 when there is none (delete it to see the first-run question).
if [ ! -f "$folder/Aurivo_USB.ini" ]; then
  printf '"Port # "\r\n3\r\n"Sensitivty = "\r\n"25"\r\n"Picture graph visibilty = "\r\n"True"\r\n"Color graph visibilty = "\r\n"True"\r\n"Bar graph visibilty = "\r\n"True"\r\n"Internal status visibilty = "\r\n"True"\r\n"Session comments visibilty = "\r\n"True"\r\n"Time etc. visibilty = "\r\n"True"\r\n"Form Width = "\r\n8448\r\n"Form Height = "\r\n8640\r\n"Form Top = "\r\n1440\r\n"Form Left = "\r\n3456\r\n"Filter Size = "\r\n3\r\n"Jitter = "\r\n100\r\n' \
    > "$folder/Aurivo_USB.ini"
fi

"$folder/aurivo-sim" --folder "$folder" --port 3 &
sim_pid=$!
trap 'kill $sim_pid 2>/dev/null || true' EXIT
sleep 1

if [ -n "${DISPLAY:-}" ]; then
  echo "Monitor running; the simulated sensor is on COM3. Choose Session > Start to begin a session."
  "$folder/aurivo-usb"
else
  export DEMO_FOLDER="$folder" DEMO_SECONDS="$run_seconds" DEMO_SHOT="$PWD/demo-shot.png"
  xvfb-run -a -s "-screen 0 1024x768x24" bash "$PWD/scripts/headless-demo.sh"
  echo "Screenshot: $PWD/demo-shot.png"
fi
