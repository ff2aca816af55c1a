#!/usr/bin/env bash
# Runs a command inside a private Xvfb server (1280x1024, 24 bits) and
# returns its exit status. The server is chosen by Xvfb itself (-displayfd),
# so any number of these can run at once.
set -u
fifo=$(mktemp -u /tmp/kinemorph-xvfb.XXXXXX)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 display_number <"$fifo" || true
rm -f "$fifo"
if [ -z "${display_number:-}" ]; then
  echo "with_xvfb: Xvfb did not start" >&2
  kill "$xvfb_pid" 2>/dev/null
  exit 1
fi
cleanup() { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; }
trap cleanup EXIT
DISPLAY=":$display_number" "$@"
