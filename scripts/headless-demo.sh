#!/usr/bin/env bash
# Runs inside Xvfb: starts the monitor, starts a session through the Session menu with the mouse,
# waits, takes a screenshot and closes the monitor with Ctrl+F4 (File > Exit).
set -uo pipefail
"$DEMO_FOLDER/aurivo-usb" &
app=$!
sleep 3
win=$(xdotool search --sync --name "Aurivo USB Interface" | head -n 1)
if [ -n "$win" ]; then
  eval "$(xdotool getwindowgeometry --shell "$win")"
  # The Session menu is the second entry of the menu bar; Start is its second item.
  xdotool mousemove $((X + 60)) $((Y + 10)) click 1
  sleep 0.5
  xdotool mousemove $((X + 80)) $((Y + 58)) click 1
fi
sleep "$DEMO_SECONDS"
import -window root "$DEMO_SHOT"
# File > Exit through its shortcut; a terminate signal closes the window the same orderly way.
[ -n "$win" ] && xdotool windowfocus "$win" key ctrl+F4 2>/dev/null
sleep 2
kill -TERM "$app" 2>/dev/null
wait "$app" 2>/dev/null
exit 0
