#!/usr/bin/env bash
# Starts Kinemorph from the repository root. Without a display it starts the
# program under Xvfb, waits for its window, saves a screenshot to
# kinemorph-screenshot.png and keeps the program running until Ctrl-C.
set -uo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/kinemorph}

if [ -n "${DISPLAY:-}" ]; then
  exec "$program"
fi

fifo=$(mktemp -u /tmp/kinemorph-run-xvfb.XXXXXX)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
read -r -t 20 n <"$fifo"
rm -f "$fifo"
export DISPLAY=":$n"
echo "No display found: running Kinemorph under Xvfb on $DISPLAY."

"$program" &
app=$!
cleanup() { kill "$app" 2>/dev/null; wait "$app" 2>/dev/null; kill "$xvfb" 2>/dev/null; }
trap cleanup EXIT INT TERM

wid=""
for _ in $(seq 1 100); do
  wid=$(xdotool search --name "^Kinemorph - Orrowen$" 2>/dev/null | head -n 1)
  if [ -n "$wid" ]; then break; fi
  if ! kill -0 "$app" 2>/dev/null; then echo "Kinemorph exited before showing its window."; exit 1; fi
  sleep 0.1
done
sleep 1.5 # let a few frames be drawn
# The window itself, wherever the server placed it and whatever its size.
if [ -n "$wid" ] && import -window "$wid" kinemorph-screenshot.png 2>/dev/null; then
  echo "Screenshot written to kinemorph-screenshot.png. Kinemorph keeps running; press Ctrl-C to stop."
else
  echo "Could not take a screenshot; Kinemorph keeps running; press Ctrl-C to stop."
fi
wait "$app"
