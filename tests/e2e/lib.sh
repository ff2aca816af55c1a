# Helpers for end-to-end tests of the real program under a private Xvfb.
# Source it; it expects KINEMORPH (the program), SEND_CLOSE and
# SOURCE_DIR in the environment (the CTest registration sets them).
set -u

E2E_TMP=$(mktemp -d /tmp/kinemorph-e2e.XXXXXX)
ARTIFACTS=${ARTIFACTS:-$E2E_TMP}
mkdir -p "$ARTIFACTS"
XVFB_PID=""
APP_PID=""
TITLE="Kinemorph - Orrowen"

cleanup() {
  [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null && wait "$APP_PID" 2>/dev/null
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
  rm -rf "$E2E_TMP"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $* (display $DISPLAY)"
  [ -f "$E2E_TMP/stdout" ] && { echo "--- program output:"; cat "$E2E_TMP/stdout"; }
  [ -f "$E2E_TMP/stderr" ] && { echo "--- program errors (last lines):"; grep -v '^ALSA lib\|^AL lib' "$E2E_TMP/stderr" | tail -n 40; }
  exit 1
}
pass() { echo "ok: $* (${SECONDS}s)"; }

# A private Xvfb of W x H pixels ($1 x $2, default 1280 x 1024); a screen the
# size of the window makes every pointer position land in the window.
start_xvfb() {
  local fifo="$E2E_TMP/displayfd"
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${1:-1280}x${2:-1024}x24" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  local n
  read -r -t 20 n <"$fifo" || fail "Xvfb did not start"
  export DISPLAY=":$n"
}

# A working directory with a private copy of the resources.
make_workdir() {
  WORKDIR="$E2E_TMP/work"
  mkdir -p "$WORKDIR"
  cp -r "$SOURCE_DIR/resources" "$WORKDIR/"
}

# Starts the program in $WORKDIR with standard input from /dev/null.
start_app() {
  (cd "$WORKDIR" && exec "$KINEMORPH" </dev/null >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
  APP_PID=$!
}

# Waits for the window and sets WID; fails if the program exits first.
wait_window() {
  for _ in $(seq 1 200); do
    WID=$(xdotool search --name "^$TITLE\$" 2>/dev/null | head -n 1)
    if [ -n "$WID" ]; then
      xdotool windowfocus "$WID" 2>/dev/null
      sleep 0.5
      return 0
    fi
    kill -0 "$APP_PID" 2>/dev/null || fail "program exited before showing its window"
    sleep 0.1
  done
  fail "no window titled '$TITLE'"
}

# Screenshot of the window into $1.
shot() { import -window "$WID" "$1" 2>/dev/null || fail "screenshot $1"; }

# "r g b" of the pixel at (x, y) from the top-left of an image.
pixel() {
  convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}

# Mouse actions in window pixels from the top-left.
click_at() { xdotool mousemove --window "$WID" "$1" "$2" click "${3:-1}"; sleep 0.3; }
key() { xdotool key --delay 50 "$@"; sleep 0.3; }

# Waits up to $1 seconds for the program to end; returns its exit status,
# or fails when it is still running.
wait_exit() {
  for _ in $(seq 1 $(($1 * 10))); do
    kill -0 "$APP_PID" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$APP_PID" 2>/dev/null && fail "program did not end within $1 s"
  local status=0
  wait "$APP_PID" || status=$?
  APP_PID=""
  return $status
}

# Closes the window as a window manager would and waits up to $1 seconds
# (default 10) for the exit status, which it returns.
close_app() {
  "$SEND_CLOSE" "$WID"
  wait_exit "${1:-10}"
}

# Replaces the work folder's settings with a plain windowed size and the
# shipped frame limit, 60 (a third argument gives another; 0 is none). With
# a limit the program leaves unchanged frames undrawn, so every script that
# checks the screen after an action checks that it was drawn again.
use_window_size() {
  printf '[settings]\nfullscreen false\nwindowed_width %s\nwindowed_height %s\nAA_level 0\nframerate_limit %s\n' \
    "$1" "$2" "${3:-60}" >"$WORKDIR/resources/config/settings.ini"
}

# Number of pixels that differ between two images inside a crop WxH+X+Y.
diff_pixels() {
  compare -metric AE -crop "$3" "$1" "$2" null: 2>&1 | sed 's/ .*//'
}

# Number of pixels in a crop of an image that satisfy an -fx condition.
count_where() {
  convert "$1" -crop "$2" +repage -fx "$3" -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Where bone $1 appears at start in a W x H window: sets BX and BY.
bone_at() {
  read -r BX BY <<<"$(cd "$WORKDIR" && "$PROJECT_BONE" "$1" "$2" "$3")" || fail "cannot project bone $1"
}

# Polls a command until it succeeds or $1 seconds have gone by.
wait_for() {
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -ge "$end" ] && return 1
    sleep 0.2
  done
}

# Reads where every component stands in a $1 x $2 window (layout_probe, run
# in $WORKDIR) into PLACE, by id; the first line of an id wins. An optional
# $3 is the number of frames whose timeline blocks to place.
declare -A PLACE
read_layout() {
  (cd "$WORKDIR" && "$LAYOUT_PROBE" "$@") >"$E2E_TMP/layout" || fail "layout_probe $* failed"
  PLACE=()
  local id rest
  while read -r id rest; do
    [ -n "${PLACE[$id]:-}" ] || PLACE[$id]=$rest
  done <"$E2E_TMP/layout"
  LAYOUT_W=$1
}
# Sets X Y (centre) and L T CW CH (rectangle) of component $1 from PLACE.
place_of() {
  [ -n "${PLACE[$1]:-}" ] || fail "layout_probe knows no component $1"
  read -r X Y L T CW CH _ <<<"${PLACE[$1]}"
}

# Whether image $1 shows a window's title bar above a body whose left and
# top edges are $2 and $3, $4 wide: over the part inside the image (the
# last layout's width), the bar's top two rows are lit in the highlight
# colour and its bottom two rows are nearly black.
title_bar_drawn() {
  local left=$(($2 + 3)) right=$(($2 + $4 - 3)) n
  [ "$left" -ge 0 ] || left=0
  [ "$right" -le "$LAYOUT_W" ] || right=$LAYOUT_W
  local w=$((right - left))
  [ "$w" -gt 0 ] || return 1
  mapfile -t n < <(convert "$1" -write mpr:i +delete \
    "(" mpr:i -crop "${w}x2+${left}+$(($3 - 17))" +repage \
    -fuzz 7% -fill white -opaque 'rgb(48,168,240)' -fill black +opaque white ")" \
    "(" mpr:i -crop "${w}x2+${left}+$(($3 - 2))" +repage \
    -channel RGB -threshold 10% +channel -separate -evaluate-sequence max -negate ")" \
    -format '%[fx:int(mean*w*h+0.5)]\n' info:)
  [ "${n[0]:-0}" -ge $((w * 2 * 9 / 10)) ] && [ "${n[1]:-0}" -ge $((w * 2 * 9 / 10)) ]
}
