#!/usr/bin/env bash
# Looks at the window as a user would: runs the built monitor (build-demo, from ./run-demo.sh) under
# Xvfb at a given screen size with the simulated sensor, starts a session through the menu, and takes a
# screenshot; once with all panels and once with only the picture graph.
#   scripts/screenshots.sh [WIDTHxHEIGHT] [OUTPUT_FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
size="${1:-1024x768}"
out="${2:-$PWD/screenshots}"
mkdir -p "$out"
width="${size%x*}"
height="${size#*x}"

shot() { # name visible-flags...
  local name="$1"; shift
  local folder
  folder=$(mktemp -d)
  cp build-demo/aurivo-usb build-demo/aurivo-sim "$folder/"
  # Settings: port 3, the given panel flags, and the default geometry (55 % x 75 %, centred).
  local w=$((width * 15 * 55 / 100)) h=$((height * 15 * 75 / 100))
  local l=$(((width * 15 - w) / 2)) t=$(((height * 15 - h) / 2))
  {
    printf '"Port # "\r\n3\r\n"Sensitivty = "\r\n"25"\r\n'
    local labels=("Picture graph" "Color graph" "Bar graph" "Internal status" "Session comments" "Time etc.")
    for i in 0 1 2 3 4 5; do printf '"%s visibilty = "\r\n"%s"\r\n' "${labels[$i]}" "$1"; shift; done
    printf '"Form Width = "\r\n%d\r\n"Form Height = "\r\n%d\r\n"Form Top = "\r\n%d\r\n"Form Left = "\r\n%d\r\n' "$w" "$h" "$t" "$l"
    printf '"Filter Size = "\r\n3\r\n"Jitter = "\r\n100\r\n'
  } > "$folder/Aurivo_USB.ini"
  "$folder/aurivo-sim" --folder "$folder" --port 3 --seed 4 &
  local sim=$!
  DEMO_FOLDER="$folder" DEMO_SECONDS=12 DEMO_SHOT="$out/$name-$size.png" \
    xvfb-run -a -s "-screen 0 ${size}x24" bash scripts/headless-demo.sh
  kill "$sim" 2>/dev/null || true
  wait "$sim" 2>/dev/null || true
  rm -rf "$folder"
  echo "$out/$name-$size.png"
}

shot all-panels True True True True True True
shot graph-only True False False False False False
