#!/usr/bin/env bash
# Mouse and keyboard on the real window: picking a bone highlights it and
# fills the readout, a click on the sky deselects, F12 hides and shows the
# frame-rate readout, a right drag turns the view, the wheel zooms, Escape
# opens the menu, and closing ends the program with status 0.
source "$(dirname "$0")/lib.sh"
start_xvfb
make_workdir
use_window_size 800 600
start_app
wait_window
sleep 1
shot "$E2E_TMP/start.png"
READOUT=200x44+12+182   # the text field of "Rotation of Selected Bone"
FPS=80x20+8+572

# A left click on the left thigh's midpoint, projected with the program's own camera.
bone_at 6 800 600
read -r r g b <<<"$(pixel "$E2E_TMP/start.png" "$BX" "$BY")"
# Lit yellow: red and green alike, no blue.
[ "$r" -gt 30 ] && [ $((b * 2)) -lt "$r" ] || fail "thigh at ($BX,$BY) is not drawn yellow: $r $g $b"
click_at "$BX" "$BY"
sleep 0.5
shot "$E2E_TMP/picked.png"
read -r r g b <<<"$(pixel "$E2E_TMP/picked.png" "$BX" "$BY")"
[ "$b" -gt $((r + 10)) ] || fail "picked thigh not in the selected colour: $r $g $b"
[ "$(diff_pixels "$E2E_TMP/start.png" "$E2E_TMP/picked.png" $READOUT)" -gt 20 ] || fail "readout did not change"
pass "left click on a bone selects it"

# A click on the sky, far from the figure and every window.
click_at 700 120
sleep 0.5
shot "$E2E_TMP/deselected.png"
read -r r g b <<<"$(pixel "$E2E_TMP/deselected.png" "$BX" "$BY")"
[ "$r" -gt 30 ] && [ $((b * 2)) -lt "$r" ] || fail "thigh still highlighted: $r $g $b"
[ "$(diff_pixels "$E2E_TMP/start.png" "$E2E_TMP/deselected.png" $READOUT)" -lt 5 ] || fail "readout not back to the placeholder"
pass "left click on the sky deselects"

key F12
shot "$E2E_TMP/nofps.png"
[ "$(count_where "$E2E_TMP/nofps.png" $FPS 'r>0.9&&g>0.9&&b>0.9')" -lt 3 ] || fail "F12 did not hide the readout"
key F12
shot "$E2E_TMP/fps.png"
[ "$(count_where "$E2E_TMP/fps.png" $FPS 'r>0.9&&g>0.9&&b>0.9')" -gt 10 ] || fail "F12 did not show the readout again"
pass "F12 toggles the frame-rate readout"

FIGURE=300x300+250+130
xdotool mousemove --window "$WID" 600 450 mousedown 3
sleep 0.3
for _ in $(seq 1 8); do xdotool mousemove_relative -- 15 0; sleep 0.05; done
xdotool mouseup 3
sleep 0.5
shot "$E2E_TMP/turned.png"
[ "$(diff_pixels "$E2E_TMP/fps.png" "$E2E_TMP/turned.png" $FIGURE)" -gt 200 ] || fail "right drag did not turn the view"
pass "right drag turns the camera"

xdotool mousemove --window "$WID" 700 120
for _ in 1 2 3 4 5; do xdotool click 4; sleep 0.05; done
sleep 1.5
shot "$E2E_TMP/zoomed.png"
[ "$(diff_pixels "$E2E_TMP/turned.png" "$E2E_TMP/zoomed.png" $FIGURE)" -gt 200 ] || fail "wheel did not zoom"
pass "wheel zooms"

key Escape
sleep 0.5
shot "$ARTIFACTS/menu.png"
# The page title in the 70-point font, white, in the upper part.
[ "$(count_where "$ARTIFACTS/menu.png" 700x120+50+60 'r>0.9&&g>0.9&&b>0.9')" -gt 500 ] || fail "no menu title after Escape"
[ "$(diff_pixels "$E2E_TMP/zoomed.png" "$ARTIFACTS/menu.png" 800x600+0+0)" -gt 100000 ] || fail "menu does not cover the window"
pass "Escape opens the menu"
key Escape

close_app; status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
pass "closed with status 0"
