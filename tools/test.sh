#!/usr/bin/env bash
# Runs the CTest suite of each build folder given. Tests that need a display
# start their own private Xvfb; when there is no DISPLAY at all, one shared
# server is started here as well for anything that looks for one.
set -uo pipefail
cd "$(dirname "$0")/.."

started_xvfb=""
if [ -z "${DISPLAY:-}" ]; then
  fifo=$(mktemp -u /tmp/kinemorph-test-xvfb.XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  started_xvfb=$!
  read -r -t 20 n <"$fifo" && export DISPLAY=":$n"
  rm -f "$fifo"
fi
cleanup() { [ -n "$started_xvfb" ] && kill "$started_xvfb" 2>/dev/null; }
trap cleanup EXIT

status=0
for dir in "$@"; do
  echo "== tests in $dir"
  (cd "$dir" && ctest --output-on-failure -j"$(nproc)" --timeout 600) || status=1
done
exit $status
