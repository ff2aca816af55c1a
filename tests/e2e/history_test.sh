#!/usr/bin/env bash
# Nothing is lost, on the real window: a turn of a bone is undone with
# Ctrl+Z back to the very screen before it; a frame deleted comes back; a
# posed arm is mirrored; a bone dragged by its tip is undone to the start;
# unsaved work survives closing the window (autosave.rgaf, loaded by name
# after the next start, which says it is there) and a SIGTERM, and the log
# holds every line printed so far. Places come from layout_probe and the
# program's camera (project_bone); conditions are polled. Leaves
# mirrored.png and dragged.png in $ARTIFACTS.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screen_lib.sh"
start_xvfb
make_workdir
use_window_size 800 600
W=800
H=600
read_layout $W $H
at() { place_of "$1"; }
ANIMATIONS="$WORKDIR/resources/config/skeleton/animations"
# Everything but the bottom strip, where the frame rate and the status line
# change on their own.
ABOVE=800x565+0+0
FIGURE=290x250+250+140
box T_CBRD 2
READOUT=$BOX
box TF_CFS 1
COUNTER=$BOX
# The status line's place at the bottom centre.
STATUS=400x20+200+575
keys() { xdotool key --delay 60 "$@"; }
# Waits for the glow of the last button and the status line to fade, then
# keeps a screenshot in $1.
calm_shot() {
  park
  sleep 2.6
  wait_for 5 still "$ABOVE" || fail "the screen does not come to rest"
  cp "$NOW" "$1"
}

start_app
wait_window
wait_for 10 shot_shows C_CBRD || fail "the editor's windows never appeared"
grep -q '^OpenGL Ver\.: ' "$E2E_TMP/stdout" || fail "the version line is not in the log while the program runs"
pass "standard output reaches the log line by line"

# 1. Pick the right upper arm, turn it with a held button, undo.
bone_at 18 $W $H
park_args
xdotool mousemove --window "$WID" "$BX" "$BY" click 1 "${PARK[@]}"
wait_for 5 white_above "$READOUT" 30 || fail "picking the arm did not fill the readout"
calm_shot "$E2E_TMP/picked.png"
hold_button MAIN_AXIS_INCR 1.2
wait_for 5 settled "$READOUT" || fail "the rotation went on after the release"
[ "$(text_diff "$E2E_TMP/picked.png" "$NOW" "$READOUT")" -gt 10 ] || fail "the turn did not change the readout"
keys ctrl+z
wait_for 5 text_same "$E2E_TMP/picked.png" "$READOUT" || fail "Ctrl+Z did not bring the readout back"
wait_for 3 white_above "$STATUS" 20 || fail "no status line after Ctrl+Z"
calm_shot "$E2E_TMP/undone.png"
[ "$(diff_pixels "$E2E_TMP/picked.png" "$E2E_TMP/undone.png" $ABOVE)" -eq 0 ] ||
  fail "after Ctrl+Z the screen differs from before the turn"
pass "Ctrl+Z undoes a turn to the very screen before it"

# 2. A new frame, Delete, Ctrl+Z.
press_button ADD_NEW_FRAME
wait_for 5 text_differs "$E2E_TMP/undone.png" "$COUNTER" 3 || fail "no new frame"
cp "$NOW" "$E2E_TMP/two-frames.png"
keys Delete
wait_for 5 text_differs "$E2E_TMP/two-frames.png" "$COUNTER" 3 || fail "Delete did not remove the frame"
keys ctrl+z
wait_for 5 text_same "$E2E_TMP/two-frames.png" "$COUNTER" || fail "Ctrl+Z did not bring the frame back"
pass "Delete removes the current frame and Ctrl+Z brings it back"

# 3. Pose the left upper arm with two Ctrl-clicks on "+" (10 degrees each),
# then mirror the pose: the figure changes, the left arm's readout goes back
# to its rest angle (the right arm's, mirrored), and Ctrl+Z undoes it.
bone_at 14 $W $H
xdotool mousemove --window "$WID" "$BX" "$BY" click 1
at MAIN_AXIS_INCR
xdotool keydown ctrl mousemove --window "$WID" "$X" "$Y" click 1 sleep 0.2 click 1 keyup ctrl
calm_shot "$E2E_TMP/posed.png"
keys ctrl+m
wait_for 5 pixels_differ "$E2E_TMP/posed.png" "$FIGURE" 30 || fail "Ctrl+M did not change the figure"
wait_for 5 text_differs "$E2E_TMP/posed.png" "$READOUT" || fail "Ctrl+M did not change the arm's angles"
calm_shot "$ARTIFACTS/mirrored.png"
keys ctrl+z
wait_for 5 text_same "$E2E_TMP/posed.png" "$READOUT" || fail "Ctrl+Z did not undo the mirror"
pass "Ctrl+M mirrors a posed arm and Ctrl+Z undoes it"

# 4. Press on the right forearm and drag up: the tip follows, the readout
# shows new angles, Ctrl+Z brings back the screen before the drag.
bone_at 19 $W $H
xdotool mousemove --window "$WID" "$BX" "$BY" click 1
calm_shot "$E2E_TMP/before-drag.png"
args=(mousemove --window "$WID" "$BX" "$BY" mousedown 1 sleep 0.4)
for i in 1 2 3 4 5 6; do args+=(mousemove --window "$WID" "$BX" $((BY - 10 * i)) sleep 0.1); done
xdotool "${args[@]}" mouseup 1
wait_for 5 text_differs "$E2E_TMP/before-drag.png" "$READOUT" || fail "dragging the forearm did not turn it"
calm_shot "$ARTIFACTS/dragged.png"
[ "$(diff_pixels "$E2E_TMP/before-drag.png" "$ARTIFACTS/dragged.png" $FIGURE)" -gt 30 ] ||
  fail "the arm did not move on screen"
keys ctrl+z
calm_shot "$E2E_TMP/drag-undone.png"
[ "$(diff_pixels "$E2E_TMP/before-drag.png" "$E2E_TMP/drag-undone.png" $ABOVE)" -eq 0 ] ||
  fail "after Ctrl+Z the screen differs from before the drag"
pass "a bone follows the pointer when dragged, and Ctrl+Z undoes the drag"

# 5. Unsaved work survives closing the window.
press_button ADD_NEW_FRAME
press_button ADD_NEW_FRAME
sleep 0.5
close_app; status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
[ -f "$ANIMATIONS/autosave.rgaf" ] || fail "no autosave.rgaf after closing the window"
frames=$(sed -n 3p "$ANIMATIONS/autosave.rgaf")
[ "$frames" = 4 ] || fail "autosave.rgaf holds $frames frames, not 4"
pass "closing the window keeps the unsaved animation in autosave.rgaf"

start_app
wait_window
wait_for 10 white_above "$STATUS" 100 || fail "no word at start that unsaved work waits"
keys ctrl+o
xdotool type --delay 80 autosave
keys Return
wait_for 5 shot_hides C_LAD || fail "loading autosave failed"
wait_for 5 text_differs "$E2E_TMP/undone.png" "$COUNTER" 3 || fail "the loaded animation shows no other frame"
pass "the autosave loads by name after the next start, which says it is there"

# 6. SIGTERM while changed ends through the normal teardown.
rm -f "$ANIMATIONS/autosave.rgaf"
press_button ADD_NEW_FRAME
sleep 0.5
kill -TERM "$APP_PID"
wait_exit 10; status=$?
[ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
[ "$(sed -n 3p "$ANIMATIONS/autosave.rgaf" 2>/dev/null)" = 5 ] || fail "SIGTERM left no autosave of 5 frames"
grep -q '^OpenGL Ver\.: ' "$E2E_TMP/stdout" || fail "the log lost its lines"
pass "SIGTERM keeps the unsaved work and the log"
