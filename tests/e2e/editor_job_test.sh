#!/usr/bin/env bash
# The whole editing job on the real window, as a user does it: pick a bone,
# turn it and raise the figure with held buttons, add a key frame, type its
# times, change its motion type and apply them, step through the frames,
# play and stop, save under a typed name, quit through the menu, start
# again, load the file back and play it, and see a failed load say so.
# Every place clicked comes from the program's own layout (layout_probe) and
# camera (project_bone); conditions are polled, not waited for blindly.
# Leaves editor.png, main-menu.png and about.png in $ARTIFACTS.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screen_lib.sh"
start_xvfb
make_workdir
use_window_size 800 600
W=800
H=600
read_layout $W $H
ANIMATIONS="$WORKDIR/resources/config/skeleton/animations"
# The job saves a walk of its own; the sample shipped under that name must
# not stand in for it while the test waits for the save.
rm -f "$ANIMATIONS/walk.rgaf"

# The properties window stands at x 650 and is 340 wide; at this window width
# the layout puts it wholly inside, at x 460. A user drags it 300 pixels up
# by its title bar, clear of every other panel.
FP_SHIFT=0
FP_IDS=" CC_FP CC_FPTMPA CC_CMT TF_FMD CHANGE_MOTION C_FWTC T_CFWTL TF_FWD CC_FPTMPB C_FTTC T_CFTTL TF_FTD APPLY_FRAME "

# Sets X Y (centre) and L T CW CH (rectangle) of a component, in window
# pixels from the top-left, where the properties window now stands.
at() {
  place_of "$1"
  case "$FP_IDS" in *" $1 "*) Y=$((Y - FP_SHIFT)) T=$((T - FP_SHIFT)) ;; esac
}
# Opens the load dialog, types the name $1 and presses Load; $2 says when,
# for the failure message.
load_named() {
  press_button SHOW_LOAD
  wait_for 5 shot_shows C_LAD || fail "the load dialog did not open${2:+ $2}"
  type_into T_LFN "$1"
  press_button LOAD_ANI
}

# The 3-D view around the figure, clear of every window.
FIGURE=290x250+250+140

# ---------------------------------------------------------------- first run
start_app
wait_window
wait_for 10 shot_shows C_CBRD || fail "the editor's windows never appeared"
park
sleep 0.5
shot "$E2E_TMP/start.png"
check_title_bars "$E2E_TMP/start.png" C_CBRD SKEL_ED C_MSC CC_FSM CC_APC CC_ANF
window_hidden "$E2E_TMP/start.png" C_LAD || fail "a dialog is shown at start"
pass "the editor's windows stand where the layout puts them"

# 1. Pick the left upper arm and turn it about its main axis with a held
# button. Its main angle has 140 degrees of room downwards, more than a
# rotation left running could use up while the checks look.
box T_CBRD 2
READOUT=$BOX
bone_at 14 $W $H
park_args
xdotool mousemove --window "$WID" "$BX" "$BY" click 1 "${PARK[@]}"
wait_for 5 text_differs "$E2E_TMP/start.png" "$READOUT" || fail "picking the arm at ($BX,$BY) did not fill the readout"
cp "$NOW" "$E2E_TMP/picked.png"
read -r r g b <<<"$(pixel "$E2E_TMP/picked.png" "$BX" "$BY")"
[ "$b" -gt $((r + 10)) ] || fail "picked arm not in the selected colour: $r $g $b"
hold_button MAIN_AXIS_DECR 1.5
# A rotation that outlived the release would keep the readout changing.
wait_for 5 settled "$READOUT" || fail "the rotation went on after the release"
cp "$NOW" "$E2E_TMP/turned.png"
[ "$(text_diff "$E2E_TMP/picked.png" "$E2E_TMP/turned.png" "$READOUT")" -gt 10 ] || fail "the readout did not follow the held rotation"
[ "$(diff_pixels "$E2E_TMP/picked.png" "$E2E_TMP/turned.png" $FIGURE)" -gt 30 ] || fail "the figure did not change while the button was held"
pass "a held rotation button turns the selected bone and stops on release"

# 2. Raise the figure with the held height "+", let go off the button: a
# left release anywhere ends a held change. The camera follows the root, so
# the floor moves on screen.
hold_button MOVE_SKELETON_UP 1 away
wait_for 5 still "$FIGURE" || fail "the figure kept moving after a release off the button"
cp "$NOW" "$E2E_TMP/raised.png"
[ "$(diff_pixels "$E2E_TMP/turned.png" "$E2E_TMP/raised.png" $FIGURE)" -gt 300 ] || fail "the held height button moved nothing"
pass "the held height button raises the figure and stops on a release anywhere"

# 3. A new frame from the current pose: frame 1 becomes current and the
# ghost shows frame 0, the pose as it was before turning and raising.
box TF_CFS 1
COUNTER=$BOX
press_button ADD_NEW_FRAME
wait_for 5 text_differs "$E2E_TMP/raised.png" "$COUNTER" 3 || fail "the frame counter did not change after a new frame"
cp "$NOW" "$E2E_TMP/frame1.png"
[ "$(diff_pixels "$E2E_TMP/raised.png" "$E2E_TMP/frame1.png" $FIGURE)" -gt 30 ] || fail "no ghost of frame 0 after a new frame"
pass "a new frame becomes current with the ghost behind it"

# The properties window is dragged by its title bar (as slowly as a hand
# drags it, so the last button glow has faded when the screen is read).
at CC_FP
xdotool mousemove --window "$WID" $((L + 60)) $((T - 8)) mousedown 1
for step in 1 2 3 4 5 6 7 8 9 10; do
  xdotool mousemove --window "$WID" $((L + 60)) $((T - 8 - 30 * step))
  sleep 0.05
done
xdotool mouseup 1
park
FP_SHIFT=300
wait_for 5 shot_shows CC_FP || fail "the properties window did not follow the drag"
cp "$NOW" "$E2E_TMP/dragged.png"
check_texts "$E2E_TMP/dragged.png" TF_FMD T_CFWTL TF_FWD T_CFTTL TF_FTD CHANGE_MOTION APPLY_FRAME
pass "the properties window drags by its title bar"

# Every window in view now, each with its title and its texts.
check_title_bars "$E2E_TMP/dragged.png" C_CBRD SKEL_ED C_MSC CC_FSM CC_APC CC_ANF CC_FP
check_texts "$E2E_TMP/dragged.png" T_CBRD T_MAC T_SAC T_SEAC MAIN_AXIS_INCR TF_CFS PREV_FRAME NEXT_FRAME \
  PLAY_ANIMATION STOP_ANIMATION ADD_NEW_FRAME SAVE_FRAME SHOW_LOAD SHOW_SAVE MUSIC_PLAY_PAUSE

# Wait 250 ms, transition 1500 ms, "Ease Out" (two steps on from "Linear").
box TF_FMD 1
MOTION=$BOX
box TF_FWD 1
WAIT=$BOX
box TF_FTD 1
TRANSITION=$BOX
type_into TF_FWD 250
type_into TF_FTD 1500
wait_for 5 text_differs "$E2E_TMP/dragged.png" "$WAIT" || fail "typing did not reach the wait field"
[ "$(text_diff "$E2E_TMP/dragged.png" "$NOW" "$TRANSITION")" -gt 10 ] || fail "typing did not reach the transition field"
cp "$NOW" "$E2E_TMP/typed.png"
press_button CHANGE_MOTION
wait_for 5 text_differs "$E2E_TMP/typed.png" "$MOTION" || fail "Change Motion Type did not change the label"
cp "$NOW" "$E2E_TMP/ease-in.png"
press_button CHANGE_MOTION
wait_for 5 text_differs "$E2E_TMP/ease-in.png" "$MOTION" || fail "the second Change Motion Type did not change the label"
press_button APPLY_FRAME
# Events are handled in order, so the typing is all in by now; nothing on
# screen shows the apply itself.
shot "$E2E_TMP/applied.png"
pass "times typed and motion type cycled in the properties window"

# Previous shows frame 0 with its own (default) values, Next frame 1 again
# with the applied ones: the properties were stored in the frame.
press_button PREV_FRAME
wait_for 5 text_same "$E2E_TMP/raised.png" "$COUNTER" || fail "Previous did not show frame 0"
for crop in "$MOTION" "$WAIT" "$TRANSITION"; do
  [ "$(text_diff "$E2E_TMP/dragged.png" "$NOW" "$crop")" -le 2 ] || fail "frame 0 does not show its own properties ($crop)"
done
press_button NEXT_FRAME
wait_for 5 text_same "$E2E_TMP/frame1.png" "$COUNTER" || fail "Next did not show frame 1"
for crop in "$MOTION" "$WAIT" "$TRANSITION"; do
  [ "$(text_diff "$E2E_TMP/applied.png" "$NOW" "$crop")" -le 2 ] || fail "frame 1 lost its applied properties ($crop)"
done
pass "Previous and Next step between the frames with their properties"

# 4. Play: the figure moves and the frame selection hides; Stop shows it.
press_button PLAY_ANIMATION
wait_for 5 shot_hides CC_FSM || fail "playing did not hide the frame selection"
cp "$NOW" "$E2E_TMP/playing-a.png"
wait_for 5 pixels_differ "$E2E_TMP/playing-a.png" $FIGURE 50 || fail "the figure does not move while playing"
pass "playing moves the figure"
press_button STOP_ANIMATION
wait_for 5 shot_shows CC_FSM || fail "stopping did not show the frame selection again"
pass "stop shows the frame selection again"

# 5. Save under a typed name.
press_button SHOW_SAVE
wait_for 5 shot_shows C_SAD || fail "the save dialog did not open"
type_into T_SFN walk
press_button SAVE_ANI
FILE="$ANIMATIONS/walk.rgaf"
wait_for 5 test -s "$FILE" || fail "no $FILE after Save"
wait_for 5 shot_hides C_SAD || fail "the save dialog stayed open after saving"
cp "$NOW" "$E2E_TMP/saved.png"
pass "the save dialog writes walk.rgaf"

check_frame_line() { # line number, wait, transition, motion code
  awk -F'\t' -v n="$1" -v w="$2" -v t="$3" -v m="$4" '
    NR == n {
      if (NF != 69) { print "line " n " has " NF " fields"; exit 1 }
      for (i = 1; i <= NF; i++)
        if ($i !~ /^-?[0-9]+(\.[0-9]+)?(e[-+][0-9]+)?$/) { print "field " i " of line " n " is not a number: " $i; exit 1 }
      if ($67 + 0 != w || $68 + 0 != t || $69 != m) { print "line " n " ends " $67, $68, $69 " not " w, t, m; exit 1 }
      found = 1
    }
    END { if (!found) { print "no line " n; exit 1 } }' "$FILE"
}
[ "$(sed -n 1p "$FILE")" = RGAF ] || fail "first line is not RGAF"
[ "$(sed -n 2p "$FILE")" = walk ] || fail "the name line is not the typed name"
[ "$(sed -n 3p "$FILE")" = 2 ] || fail "frame count is not 2"
[ "$(sed -n 4p "$FILE")" = 1 ] || fail "looping flag is not 1"
[ "$(wc -l <"$FILE")" -eq 6 ] || fail "walk.rgaf does not have 6 lines"
problem=$(check_frame_line 5 0 1 3) || fail "frame 0: $problem"
problem=$(check_frame_line 6 0.25 1.5 23) || fail "frame 1: $problem"
# Frame 1 holds the raised root and the turned arm (its main angle is the
# 46th number: 3 for the root position, then 3 per bone).
awk -F'\t' 'NR == 5 { y = $2; a = $46 } NR == 6 { exit !($2 > y + 0.1 && $46 < a - 5) }' "$FILE" ||
  fail "frame 1 does not hold the raised, turned pose: $(sed -n '5,6p' "$FILE" | cut -f2,46)"
pass "walk.rgaf holds 2 frames of 69 numbers with the times and motion type set"

# The README picture: every window in view, the arm still selected, the
# view zoomed in on the figure (frame 0) and its ghost (frame 1).
park
xdotool click --repeat 7 --delay 30 4
wait_for 5 pixels_differ "$E2E_TMP/saved.png" $FIGURE 300 || fail "the wheel did not zoom"
wait_for 10 still 800x380+0+40 || fail "the zoom never came to rest"
cp "$NOW" "$ARTIFACTS/editor.png"
check_title_bars "$ARTIFACTS/editor.png" C_CBRD SKEL_ED C_MSC CC_FSM CC_APC CC_ANF CC_FP
check_texts "$ARTIFACTS/editor.png" T_CBRD TF_CFS TF_FMD TF_FWD TF_FTD
window_hidden "$ARTIFACTS/editor.png" C_SAD || fail "the save dialog shows in the editor picture"
[ "$(text_diff "$E2E_TMP/start.png" "$ARTIFACTS/editor.png" "$READOUT")" -gt 10 ] ||
  fail "no bone selected in the editor picture"
pass "editor picture taken"

# 6. Quit through the menu, after a look at page 0 and the About page.
key Escape
box TITLE0
MENU_TITLE=$BOX
wait_for 5 white_above "$MENU_TITLE" 500 || fail "Escape did not open the menu"
cp "$NOW" "$ARTIFACTS/main-menu.png"
[ "$(counts "$ARTIFACTS/main-menu.png" WHITE "$MENU_TITLE")" -gt 500 ] || fail "no menu title where the layout puts it"
check_texts "$ARTIFACTS/main-menu.png" P0:SC_RETURN_BUTTON P0:SC_GOTO_PAGE_1 P0:SC_EXIT_BUTTON
window_hidden "$ARTIFACTS/main-menu.png" CC_ANF || fail "the editor shows through the menu"
pass "Escape opens the main menu with its title and three buttons"

press_button P0:SC_GOTO_PAGE_1
box P1:TXT_ABOUT
wait_for 5 white_above "$BOX" 500 || fail "About did not show the About page"
cp "$NOW" "$ARTIFACTS/about.png"
box TITLE1
[ "$(counts "$ARTIFACTS/about.png" WHITE "$BOX")" -gt 200 ] || fail "no About title where the layout puts it"
check_texts "$ARTIFACTS/about.png" P1:SC_GOTO_PAGE_0 P1:SC_GOTO_PAGE_2 P1:TXT_ABOUT
pass "About shows its page"

press_button P1:SC_GOTO_PAGE_0
wait_for 5 text_same "$ARTIFACTS/main-menu.png" "$MENU_TITLE" ||
  fail "Back did not return to page 0"
press_button P0:SC_EXIT_BUTTON
wait_for 10 exited || fail "Exit Program did not end the program"
wait "$APP_PID"
status=$?
APP_PID=""
[ "$status" -eq 0 ] || fail "exit status $status after Exit Program"
EXPECTED='^(OpenGL Ver\.: .*|No audio device found: the background music is silent\.)$'
unexpected=$(grep -Ev "$EXPECTED" "$E2E_TMP/stdout")
[ -z "$unexpected" ] || fail "unexpected output: $unexpected"
pass "Exit Program ends with status 0 and no unexpected output"
cp "$E2E_TMP/frame1.png" "$E2E_TMP/run1-frame1.png"

# --------------------------------------------------------------- second run
start_app
wait_window
wait_for 10 shot_shows C_CBRD || fail "the editor's windows never appeared on the second start"
park
sleep 0.3
shot "$E2E_TMP/start2.png"

# 7. Load the saved file: the editor steps to frame 1, as the counter shows.
load_named walk
wait_for 5 shot_hides C_LAD || fail "the load dialog stayed open after loading walk"
wait_for 5 text_same "$E2E_TMP/run1-frame1.png" "$COUNTER" || fail "the frame counter does not read 1 after the load"
[ "$(diff_pixels "$E2E_TMP/start2.png" "$NOW" $FIGURE)" -gt 30 ] || fail "the loaded pose does not show"
pass "loading walk shows frame 1"

press_button PLAY_ANIMATION
wait_for 5 shot_hides CC_FSM || fail "playing the loaded animation did not hide the frame selection"
cp "$NOW" "$E2E_TMP/playing2-a.png"
wait_for 5 pixels_differ "$E2E_TMP/playing2-a.png" $FIGURE 50 || fail "the loaded animation does not move the figure"
pass "the loaded animation plays"

# Loading while it plays replaces the animation the player is in: the
# player must let go of it (the sanitizer build sees any touch of the freed
# frames), stop, and leave the editor on frame 1 with its frame selection.
load_named walk "while playing"
wait_for 5 shot_hides C_LAD || fail "loading while playing failed"
wait_for 5 shot_shows CC_FSM || fail "loading while playing left the frame selection hidden"
wait_for 5 still $FIGURE || fail "the figure still moves after loading while playing"
wait_for 5 text_same "$E2E_TMP/run1-frame1.png" "$COUNTER" || fail "the frame counter does not read 1 after loading while playing"
pass "loading while playing stops the player on frame 1"

# 8. A name that has no file: the message follows the name in the field.
box T_LFN 1
NAME_FIELD=$BOX
press_button SHOW_LOAD
wait_for 5 shot_shows C_LAD || fail "the load dialog did not open again"
cp "$NOW" "$E2E_TMP/reopened.png"
type_into T_LFN nosuchname
wait_for 5 text_differs "$E2E_TMP/reopened.png" "$NAME_FIELD" || fail "typing did not reach the load name field"
wait_for 5 settled "$NAME_FIELD" || fail "the load name field never settled"
cp "$NOW" "$E2E_TMP/typed-name.png"
press_button LOAD_ANI
wait_for 5 text_differs "$E2E_TMP/typed-name.png" "$NAME_FIELD" 30 || fail "a failed load left the name field as it was"
window_shown "$NOW" C_LAD || fail "the load dialog closed after a failed load"
cp "$NOW" "$E2E_TMP/load-failed.png"
# The typed name keeps its place at the start of the field's first line.
at T_LFN
NAME_START="60x16+$((L + 1))+$((T + 2))"
[ "$(text_diff "$E2E_TMP/typed-name.png" "$E2E_TMP/load-failed.png" "$NAME_START")" -le 2 ] ||
  fail "the typed name did not stay at the start of the field"
pass "a failed load appends its message to the name"

close_app
status=$?
[ "$status" -eq 0 ] || fail "exit status $status on the second run"
# Standard output is a file here, so it is complete only after the exit.
[ "$(grep -cx 'Error in reading animation file!' "$E2E_TMP/stdout")" -eq 1 ] ||
  fail "not one 'Error in reading animation file!' line for the failed load"
unexpected=$(grep -Ev "$EXPECTED|^Error in reading animation file!\$" "$E2E_TMP/stdout")
[ -z "$unexpected" ] || fail "unexpected output on the second run: $unexpected"
pass "the second run closes with status 0, the failed load reported on standard output"
