#!/usr/bin/env bash
# The timeline and the shortcuts help on the real window. With three frames
# made and the first one current, F2 shows the timeline and a click on its
# third block makes frame 2 current (the counter reads what it read when
# frame 2 was made); F2 hides the strip again. F1 shows the help panel over
# the middle of the window and F1 hides it. Places come from layout_probe.
# Leaves timeline.png and shortcuts.png in $ARTIFACTS.
source "$(dirname "$0")/lib.sh"
pass() { echo "ok: $* (${SECONDS}s)"; }
start_xvfb
make_workdir
use_window_size 800 600
read_layout 800 600 3
NOW="$E2E_TMP/now.png"

park() { xdotool mousemove --window "$WID" 760 300; }
# White pixels (drawn text) that differ between images $1 and $2 in crop $3.
text_diff() {
  local white=(-channel RGB -threshold 90% +channel -separate -evaluate-sequence min)
  convert "(" "$1" -crop "$3" +repage "${white[@]}" ")" "(" "$2" -crop "$3" +repage "${white[@]}" ")" \
    -compose difference -composite -format '%[fx:int(mean*w*h+0.5)]' info:
}
box_of() { place_of "$1"; echo "${CW}x${CH}+${L}+${T}"; }
COUNTER=$(box_of TF_CFS)
STRIP=$(box_of TIMELINE)
# The strip with the 2-pixel frame it is drawn in.
place_of TIMELINE
STRIP_FRAME="$((CW + 4))x$((CH + 4))+$((L - 2))+$((T - 2))"

start_app
wait_window
park
place_of ADD_NEW_FRAME
click_at "$X" "$Y"
click_at "$X" "$Y"
park
# The counter reads the new frame's number; the test only needs its look.
counter_shows() { shot "$NOW"; [ "$(text_diff "$1" "$NOW" "$COUNTER")" -le 2 ]; }
sleep 0.5
shot "$E2E_TMP/frame2.png"
key alt+Home
wait_for 5 eval '! counter_shows "$E2E_TMP/frame2.png"' || fail "Alt+Home did not go to the first frame"
sleep 0.3
shot "$E2E_TMP/frame0.png"
pass "three frames made, the first one current"

key F2
shot "$ARTIFACTS/timeline.png"
[ "$(diff_pixels "$E2E_TMP/frame0.png" "$ARTIFACTS/timeline.png" "$STRIP")" -gt 5000 ] ||
  fail "F2 drew no timeline"
# The three frame numbers in white.
[ "$(count_where "$ARTIFACTS/timeline.png" "$STRIP" 'r>0.9&&g>0.9&&b>0.9')" -gt 10 ] ||
  fail "no frame numbers in the timeline"
place_of TIMELINE_BLOCK2
click_at "$X" "$Y"
park
wait_for 5 counter_shows "$E2E_TMP/frame2.png" || fail "a click on the third block did not show frame 2"
pass "F2 shows the timeline; a click on its third block shows frame 2"

shot "$E2E_TMP/shown.png"
key F2
shot "$E2E_TMP/hidden.png"
[ "$(diff_pixels "$E2E_TMP/frame0.png" "$E2E_TMP/hidden.png" "$STRIP_FRAME")" -eq 0 ] ||
  fail "F2 did not hide the timeline"
pass "F2 hides the timeline again"

# The help panel lies over the middle of the window.
MIDDLE=400x300+200+150
key F1
shot "$ARTIFACTS/shortcuts.png"
[ "$(diff_pixels "$E2E_TMP/hidden.png" "$ARTIFACTS/shortcuts.png" $MIDDLE)" -gt 20000 ] ||
  fail "F1 drew no panel"
# Dark, with many lines of white text.
[ "$(count_where "$ARTIFACTS/shortcuts.png" $MIDDLE 'r<0.05&&g<0.05&&b<0.05')" -gt 60000 ] ||
  fail "the help panel is not dark"
[ "$(count_where "$ARTIFACTS/shortcuts.png" $MIDDLE 'r>0.9&&g>0.9&&b>0.9')" -gt 1500 ] ||
  fail "the help panel has no text"
key F1
shot "$NOW"
[ "$(diff_pixels "$E2E_TMP/hidden.png" "$NOW" $MIDDLE)" -eq 0 ] || fail "F1 did not hide the panel"
pass "F1 shows the shortcuts and hides them again"

close_app
status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
pass "closed with status 0"
