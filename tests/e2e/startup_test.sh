#!/usr/bin/env bash
# The real program opens its 800x600 window with the sky box, the floor and
# the frame-rate readout, and ends with status 0 when the window is closed.
source "$(dirname "$0")/lib.sh"
start_xvfb
make_workdir
start_app
wait_window
sleep 1.5
shot "$ARTIFACTS/startup.png"

size=$(identify -format '%wx%h' "$ARTIFACTS/startup.png")
[ "$size" = "800x600" ] || fail "window is $size, not 800x600"
pass "window 800x600"

# The upper sky is light, the lower sky dark, and the clear colour (green)
# shows nowhere because the sky box covers everything.
read -r r g b <<<"$(pixel "$ARTIFACTS/startup.png" 400 60)"
[ "$r" -gt 120 ] && [ "$b" -gt 130 ] || fail "upper sky not light: $r $g $b"
read -r r2 g2 b2 <<<"$(pixel "$ARTIFACTS/startup.png" 760 590)"
[ $((r2 + g2 + b2)) -lt $((r + g + b)) ] || fail "sky gradient missing: top $r $g $b, bottom $r2 $g2 $b2"
pass "sky gradient"

# The floor: blue-dominated pixels in the middle of the lower half.
read -r r g b <<<"$(pixel "$ARTIFACTS/startup.png" 400 480)"
[ "$b" -gt 100 ] && [ "$b" -gt "$r" ] || fail "no floor at (400,480): $r $g $b"
pass "floor"

# The readout "FPS: ..." is white text at the bottom-left corner.
white=$(convert "$ARTIFACTS/startup.png" -crop 80x20+8+572 -fx 'r>0.9&&g>0.9&&b>0.9' -format '%[fx:int(mean*w*h)]' info:)
[ "$white" -gt 10 ] || fail "no readout text ($white white pixels)"
pass "frame-rate readout"

close_app; status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
grep -q '^OpenGL Ver.: ' "$E2E_TMP/stdout" || fail "no OpenGL version line"
grep -q 'Game could not start' "$E2E_TMP/stdout" && fail "reported a failed start"
pass "closed with status 0"
