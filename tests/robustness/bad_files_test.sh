#!/usr/bin/env bash
# Starts the real program with one of its resources broken at a time: the
# display settings missing, empty or binary; the skeleton missing, with a
# wrong header, cut off inside a bone or naming a parent that does not
# exist; a font or the music missing; the animations folder missing or not
# writable. Each start prints its line on standard output and then either
# runs on (the window appears, the editor still works as far as it can, and
# closing gives status 0) or fails cleanly ("Game could not start...", then
# a prompt exit with status 0 since standard input is no terminal). No case
# may crash or print a sanitizer report.
source "$(dirname "$0")/lib.sh"

W=800 H=600
SKELETON=resources/config/skeleton/default.rgcf
CASE=""
start_xvfb $W $H

fresh() {
  CASE=$1
  rm -rf "$E2E_TMP/work"
  make_workdir
  use_window_size $W $H
}
launch() {
  start_app
  wait_window
  xdotool windowmove --sync "$WID" 0 0
  sleep 0.5
}
expect_line() {
  grep -qxF -- "$1" "$E2E_TMP/stdout" || fail "$CASE: no line \"$1\" on standard output"
}
# Standard output is a file here, so lines printed while the program runs
# may sit in its buffer until it ends: these are looked for after the close.
LATER=() NEVER=()
expect_line_at_exit() { LATER+=("$1"); }
refuse_line_at_exit() { NEVER+=("$1"); }
# Closes the window: status 0 and no sanitizer report.
finish() {
  local status=0
  close_app 60 || status=$?
  [ "$status" -eq 0 ] || fail "$CASE: exit status $status after close"
  no_sanitizer_report "($CASE)"
  local line
  for line in "${LATER[@]}"; do expect_line "$line"; done
  for line in "${NEVER[@]}"; do
    grep -qxF -- "$line" "$E2E_TMP/stdout" && fail "$CASE: printed \"$line\""
  done
  LATER=() NEVER=()
  grep -q 'Game could not start' "$E2E_TMP/stdout" && fail "$CASE: reported a failed start"
  pass "$CASE: runs on, closes with status 0"
}
# A start that must fail cleanly and end by itself.
failed_start() {
  local status=0
  (cd "$WORKDIR" && timeout 60 "$KINEMORPH" </dev/null >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") ||
    status=$?
  [ "$status" -eq 0 ] || fail "$CASE: status $status"
  [ "$(tail -n 1 "$E2E_TMP/stdout")" = "Game could not start..." ] || fail "$CASE: no failed-start line"
  no_sanitizer_report "($CASE)"
  pass "$CASE: fails to start cleanly with status 0"
}

# Typing a name into a dialog: the field, then one key per letter.
type_into() {
  click_target "$1"
  # shellcheck disable=SC2046
  xdotool $(sed 's/./key & /g' <<<"$2")
  sleep 0.3
}
save_as() {
  click_target SHOW_SAVE
  type_into T_SFN "$1"
  click_target SAVE_ANI
  sleep 0.5
}
load_name() {
  click_target SHOW_LOAD
  type_into T_LFN "$1"
  click_target LOAD_ANI
  sleep 0.5
}
SAVE_TITLE=280x17+470+183 # the save dialog's title bar
# A save that cannot be written says so on standard output and in the
# dialog's title.
save_fails() {
  click_target SHOW_SAVE
  type_into T_SFN lost
  shot "$E2E_TMP/before.png"
  click_target SAVE_ANI
  sleep 0.5
  shot "$E2E_TMP/after.png"
  expect_line_at_exit "Error in saving animation data to file!"
  [ "$(diff_pixels "$E2E_TMP/before.png" "$E2E_TMP/after.png" $SAVE_TITLE)" -gt 20 ] ||
    fail "$CASE: the save dialog's title does not show the failure"
  click_target CANCEL_SAVE
  pass "$CASE: a save reports \"Save Failed!\""
}
# What needs no bones still works: frames, playing, the dialogs, a save
# that loads back, the menu, the camera.
editor_without_bones() {
  local b
  for b in ADD_NEW_FRAME SAVE_FRAME NEXT_FRAME PREV_FRAME PLAY_ANIMATION STOP_ANIMATION \
    MAIN_AXIS_INCR MOVE_SKELETON_UP; do
    click_target $b
  done
  click_at 400 300 # a pick with no bones to hit
  xdotool mousemove 600 450 mousedown 3 mousemove 650 450 mousemove 700 460 mouseup 3
  save_as nobones
  [ -f "$WORKDIR/$ANIMATIONS_DIR/nobones.rgaf" ] || fail "$CASE: save wrote no file"
  "$CHECK_ANIMATION" "$WORKDIR/$ANIMATIONS_DIR/nobones.rgaf" >/dev/null ||
    fail "$CASE: the saved file does not load back"
  load_name nobones
  refuse_line_at_exit "Error in reading animation file!"
  shot "$E2E_TMP/editor.png"
  key Escape
  shot "$E2E_TMP/menu.png"
  [ "$(diff_pixels "$E2E_TMP/editor.png" "$E2E_TMP/menu.png" ${W}x${H}+0+0)" -gt 100000 ] ||
    fail "$CASE: Escape does not open the menu"
  key Escape
  kill -0 "$APP_PID" 2>/dev/null || fail "$CASE: program ended while being used"
  pass "$CASE: the editor works without the bones"
}

fresh "layout"
read_targets $W $H

# ---- display settings --------------------------------------------------------
fresh "settings missing"
rm "$WORKDIR/resources/config/settings.ini"
launch
expect_line 'Could not open "settings.ini"! Reverting to default settings.'
[ "$(xdotool getwindowgeometry "$WID" | sed -n 's/.*Geometry: //p')" = 800x600 ] ||
  fail "$CASE: window is not 800x600"
finish

fresh "settings empty"
: >"$WORKDIR/resources/config/settings.ini"
launch
expect_line 'Invalid header in "settings.ini"! Reverting to default settings.'
finish

fresh "settings binary"
# Bytes of every value, NUL included, the same on every run.
{
  for _ in $(seq 1 32); do printf '\000\377\376\001[set\177\200\303(\n\t'; done
  LC_ALL=C awk 'BEGIN { srand(7); for (i = 0; i < 4096; i++) printf "%c", int(rand() * 255) + 1 }'
} >"$WORKDIR/resources/config/settings.ini"
launch
expect_line 'Invalid header in "settings.ini"! Reverting to default settings.'
finish

# ---- skeleton ----------------------------------------------------------------------
fresh "skeleton missing"
rm "$WORKDIR/$SKELETON"
launch
expect_line "Could not read skeleton config file"
editor_without_bones
finish

fresh "skeleton with a wrong header"
sed -i '1s/.*/RGCX/' "$WORKDIR/$SKELETON"
launch
expect_line "Incorrect file header (RGCF expected)"
editor_without_bones
finish

fresh "skeleton cut off inside bone 7"
# Header, root and bones 1 to 6, then half of bone 7's line.
{ head -n 8 "$SOURCE_DIR/$SKELETON"; sed -n 9p "$SOURCE_DIR/$SKELETON" | cut -c1-30; } >"$WORKDIR/$SKELETON"
launch
expect_line "Error: skeleton config file ends early or holds a malformed number (bone 7)"
# The bones that were read can still be picked and turned.
read -r BX BY <<<"$(cd "$WORKDIR" && "$PROJECT_BONE" 3 $W $H)"
click_at "$BX" "$BY"
xdotool mousemove ${AT[MAIN_AXIS_INCR]} mousedown 1 sleep 0.5 mouseup 1
editor_without_bones
finish

fresh "skeleton with a bad parent"
# Bone 5 names bone 9, which does not exist yet.
sed -i '7s/[0-9.-]*[[:space:]]*$/9/' "$WORKDIR/$SKELETON"
launch
expect_line "Error: bone initialized to an non-existing parent!"
editor_without_bones
finish

# ---- fonts and music ----------------------------------------------------------------
fresh "Lacuna font missing"
rm "$WORKDIR/resources/fonts/lacuna/LACURG__.TTF"
failed_start
expect_line "Error: Could not initialize fonts!"

fresh "music missing"
rm "$WORKDIR/resources/music/mainmusic.ogg"
launch
expect_line "Error opening background music!"
# The top bar's music buttons still answer.
for x in 295 400 505 400; do click_at $x 17; done
finish

# ---- animations folder ----------------------------------------------------------------
fresh "animations folder missing"
rm -rf "${WORKDIR:?}/$ANIMATIONS_DIR"
launch
save_fails
load_name lost
expect_line_at_exit "Error in reading animation file!"
finish

fresh "animations folder is a file"
# Unwritable for everyone, root included: a file stands where the folder was.
rm -rf "${WORKDIR:?}/$ANIMATIONS_DIR"
echo "not a folder" >"$WORKDIR/$ANIMATIONS_DIR"
launch
save_fails
finish

if [ "$(id -u)" -eq 0 ]; then
  echo "skipped: animations folder read-only (root ignores permission bits; the case above covers an unwritable folder)"
else
  fresh "animations folder read-only"
  chmod a-w "$WORKDIR/$ANIMATIONS_DIR"
  launch
  save_fails
  finish
  chmod u+w "$WORKDIR/$ANIMATIONS_DIR"
fi
