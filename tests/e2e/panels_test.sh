#!/usr/bin/env bash
# Floating panels on the real window. Where two panels overlap, a click goes
# to the one drawn on top: "Animation Player" dragged under "Frame/Animation
# Manager" with "Play" beneath "Save Animation To File", a click on the
# visible Save opens the save dialog and does not play. A drag let go over
# another panel ends there, so dragging a second panel moves only that one.
# In a 640 x 480 window every title bar shows. Places come from layout_probe;
# conditions are polled. Leaves panels-640x480.png in $ARTIFACTS.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screen_lib.sh"
start_xvfb
make_workdir
use_window_size 800 600
read_layout 800 600

# Pointer actions in one xdotool run each (every process start is slow on a
# loaded machine); the pointer rests on empty sky between them (park).
# Drags with the left button from ($1, $2) to ($3, $4) in ten steps, then
# lets go there.
drag() {
  local args=(mousemove --window "$WID" "$1" "$2" mousedown 1) i
  for i in 1 2 3 4 5 6 7 8 9 10; do
    args+=(sleep 0.03 mousemove --window "$WID" $(($1 + ($3 - $1) * i / 10)) $(($2 + ($4 - $2) * i / 10)))
  done
  xdotool "${args[@]}" sleep 0.05 mouseup 1
}
click_on() { xdotool mousemove --window "$WID" "$1" "$2" click 1; }
# Whether window $1's title bar shows in a fresh screenshot, its body moved
# by ($2, $3) from where the layout put it.
bar_shows() {
  place_of "$1"
  shot "$NOW"
  title_bar_drawn "$NOW" $((L + ${2:-0})) $((T + ${3:-0})) "$CW"
}
bar_gone() { ! bar_shows "$@"; }
at() { place_of "$1"; }

start_app
wait_window
wait_for 10 bar_shows CC_ANF || fail "the editor's panels never appeared"
park
sleep 0.3
shot "$E2E_TMP/start.png"

# 1. Drag "Animation Player" by its title bar until "Play" lies beneath
# "Save Animation To File". The press raises the player over the manager.
place_of PLAY_ANIMATION
PX=$X PY=$Y
place_of SHOW_SAVE
SX=$X SY=$Y
SAVE_BOX="$((CW - 2))x$((CH - 2))+$((L + 1))+$((T + 1))"
DX=$((SX - PX)) DY=$((SY - PY))
place_of CC_APC
drag $((L + 20)) $((T - 8)) $((L + 20 + DX)) $((T - 8 + DY))
park
wait_for 5 bar_shows CC_APC "$DX" "$DY" || fail "the player did not follow its title bar to the manager"
[ "$(text_diff "$E2E_TMP/start.png" "$NOW" "$SAVE_BOX")" -gt 10 ] || fail "the dragged player is not drawn over the Save button"
pass "the dragged player lies on top of the Save button"

# A click on the manager's title bar raises it: Save shows again.
place_of CC_ANF
click_on $((L + 10)) $((T - 8))
park
wait_for 5 text_same "$E2E_TMP/start.png" "$SAVE_BOX" || fail "a click on its title bar did not bring the manager back on top"
cp "$NOW" "$E2E_TMP/overlap.png"

# The visible Save takes the click: its dialog opens, and the hidden Play
# beneath does not start (playing hides the frame selection at once).
click_on "$SX" "$SY"
park
wait_for 5 bar_shows C_SAD || fail "a click on the visible Save did not open the save dialog"
bar_shows CC_FSM || fail "the click also reached Play beneath Save: the animation plays"
pass "a click on overlapping panels goes to the one on top"
place_of CANCEL_SAVE
click_on "$X" "$Y"
park
wait_for 5 bar_gone C_SAD || fail "Cancel did not close the save dialog"

# 2. Drag the manager partly past the left edge and let go over "Selected
# Bone Editor", then drag "Rotation of Selected Bone": the manager stays.
place_of CC_ANF
MX=$((L + 60)) MY=$((T - 8))
SHIFT=$((30 - MX))
place_of SKEL_ED
[ "$MY" -gt "$T" ] && [ "$MY" -lt $((T + CH)) ] && [ 30 -gt "$L" ] || fail "the release point misses the bone editor"
drag "$MX" "$MY" $((MX + SHIFT)) "$MY"
park
wait_for 5 bar_shows CC_ANF "$SHIFT" 0 || fail "the manager did not follow its title bar past the left edge"
place_of CC_ANF
[ $((L + SHIFT)) -lt 0 ] || fail "the manager did not reach past the left edge"
LEFT_BOX="$((L + CW + SHIFT))x$((CH + 17))+0+$((T - 17))"
cp "$NOW" "$E2E_TMP/past-left.png"
pass "a panel drags partly past the left edge"

place_of C_CBRD
drag $((L + 90)) $((T - 8)) $((L + 390)) $((T - 8))
park
wait_for 5 bar_shows C_CBRD 300 0 || fail "the second panel did not follow its title bar"
[ "$(diff_pixels "$E2E_TMP/past-left.png" "$NOW" "$LEFT_BOX")" -le 5 ] ||
  fail "the first panel moved with the second: its drag outlived the release"
pass "a drag let go over another panel ends there"
close_app || fail "exit status $? at 800 x 600"

# 3. At 640 x 480 "Current Frame Properties" comes in far enough to show 40
# pixels of its title bar; every panel's bar, the dialogs' too, is in view.
use_window_size 640 480
read_layout 640 480
while read -r id _ _ left top width _ kind _; do
  [ "$kind" = W ] || continue
  [ $((left + width)) -ge 40 ] && [ $((left + 40)) -le 640 ] && [ "$top" -ge 17 ] && [ "$top" -le 480 ] ||
    fail "$id's title bar is out of view at 640 x 480 ($left, $top, $width wide)"
done <"$E2E_TMP/layout"
start_app
wait_window
wait_for 10 bar_shows CC_FP || fail "no title bar of the properties panel at 640 x 480"
park
sleep 0.3
shot "$ARTIFACTS/panels-640x480.png"
for id in C_CBRD SKEL_ED C_MSC CC_FSM CC_APC CC_ANF CC_FP; do
  place_of "$id"
  title_bar_drawn "$ARTIFACTS/panels-640x480.png" "$L" "$T" "$CW" || fail "$id: no title bar at 640 x 480"
done
pass "every title bar shows at 640 x 480"
close_app || fail "exit status $? at 640 x 480"
