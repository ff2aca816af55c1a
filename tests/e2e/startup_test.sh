#!/usr/bin/env bash
# The real program opens its 800x600 window with the sky box, the floor and
# the frame-rate readout, draws again what another window uncovered, and
# ends with status 0 when the window is closed.
source "$(dirname "$0")/lib.sh"
start_xvfb
make_workdir
use_window_size 800 600
start_app
wait_window
sleep 1.5
shot "$ARTIFACTS/startup.png"

size=$(identify -format '%wx%h' "$ARTIFACTS/startup.png")
[ "$size" = "800x600" ] || fail "window is $size, not 800x600"
pass "window 800x600"

# The sky box: lighter towards its top, nearly black at its bottom, and the
# clear colour (green) shows nowhere because the box covers everything.
read -r r g b <<<"$(pixel "$ARTIFACTS/startup.png" 400 60)"
read -r r2 g2 b2 <<<"$(pixel "$ARTIFACTS/startup.png" 790 590)"
[ $((r + g + b)) -gt $((r2 + g2 + b2 + 60)) ] || fail "sky gradient missing: top $r $g $b, bottom $r2 $g2 $b2"
[ "$b" -ge "$r" ] || fail "upper sky not bluish grey: $r $g $b"
green=$(convert "$ARTIFACTS/startup.png" -fx 'g>0.6&&r<0.25&&b<0.25' -format '%[fx:int(mean*w*h)]' info:)
[ "$green" -eq 0 ] || fail "$green pixels of clear colour show"
pass "sky gradient"

# The floor: bright cyan-blue to the right of the figure.
read -r r g b <<<"$(pixel "$ARTIFACTS/startup.png" 500 300)"
[ "$b" -gt 180 ] && [ "$r" -lt 80 ] || fail "no floor at (500,300): $r $g $b"
pass "floor"

# The readout "FPS: ..." is white text at the bottom-left corner.
white=$(convert "$ARTIFACTS/startup.png" -crop 80x20+8+572 -fx 'r>0.9&&g>0.9&&b>0.9' -format '%[fx:int(mean*w*h)]' info:)
[ "$white" -gt 10 ] || fail "no readout text ($white white pixels)"
pass "frame-rate readout"

# Left alone the program draws nothing new (only the readout changes, once
# a second: F12 hides it), yet a part of the window uncovered by another
# window is drawn again at once, exactly as it was.
key F12
sleep 0.5
shot "$E2E_TMP/idle.png"
xmessage -geometry 700x500+0+0 "covering the window" >/dev/null 2>&1 &
cover=$!
sleep 1
shot "$E2E_TMP/covered.png"
[ "$(diff_pixels "$E2E_TMP/idle.png" "$E2E_TMP/covered.png" 800x600+0+0)" -gt 1000 ] ||
  fail "the covering window did not cover the program's window"
kill "$cover"
wait "$cover" 2>/dev/null
sleep 0.5
shot "$E2E_TMP/uncovered.png"
differ=$(diff_pixels "$E2E_TMP/idle.png" "$E2E_TMP/uncovered.png" 800x600+0+0)
[ "$differ" -eq 0 ] || fail "$differ pixels differ after the window was uncovered"
pass "an uncovered window is drawn again"

close_app; status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q '^OpenGL Ver.: ' "$E2E_TMP/stdout" || fail "no OpenGL version line"
grep -q 'Game could not start' "$E2E_TMP/stdout" && fail "reported a failed start"
pass "closed with status 0"
