#!/usr/bin/env bash
# Attacks on unsaved work that end a process, on the real program: a link
# planted at the autosave's name is replaced and its target left alone; a
# pipe named like an animation is refused at once, and the program still
# answers a SIGHUP by keeping its work; the next session keeps the last
# one's work apart from its own; a file-size limit makes a save fail and
# say so, with the program running on and no temporary file left.
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/screen_lib.sh"
start_xvfb
make_workdir
use_window_size 800 600
read_layout 800 600
at() { place_of "$1"; }
ANIMATIONS="$WORKDIR/resources/config/skeleton/animations"
frames_in() { sed -n 3p "$1" 2>/dev/null; }
add_frames() {
  for _ in $(seq "$1"); do press_button ADD_NEW_FRAME; sleep 0.2; done
  sleep 0.5
}
start() {
  start_app
  wait_window
  wait_for 10 shot_shows C_CBRD || fail "the editor's windows never appeared"
}
kept_files() { find "$ANIMATIONS" -name 'autosave-2*.rgaf' | sort; }

# 1. A link planted at the autosave's name.
echo precious >"$E2E_TMP/victim"
ln -s "$E2E_TMP/victim" "$ANIMATIONS/autosave.rgaf"
start
add_frames 1
close_app; status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
[ "$(cat "$E2E_TMP/victim")" = precious ] || fail "the autosave wrote through the planted link"
[ -f "$ANIMATIONS/autosave.rgaf" ] && [ ! -L "$ANIMATIONS/autosave.rgaf" ] ||
  fail "the link was not replaced by the autosave"
[ "$(frames_in "$ANIMATIONS/autosave.rgaf")" = 2 ] || fail "the autosave lost the new frame"
pass "a link planted at the autosave's name is replaced, never followed"

# 2. The next session keeps that work apart, loads a pipe without hanging,
# and ends on SIGHUP keeping its own work.
mkfifo "$ANIMATIONS/pipe.rgaf"
start
[ "$(kept_files | wc -l)" = 1 ] || fail "the last session's work was not kept: $(ls "$ANIMATIONS")"
KEPT=$(kept_files)
[ "$(frames_in "$KEPT")" = 2 ] || fail "the kept work is not the last session's"
key ctrl+o
xdotool type --delay 80 pipe
key Return
sleep 1
kill -0 "$APP_PID" 2>/dev/null || fail "loading a pipe ended the program"
grep -q 'Animation file refused: not a regular file' "$E2E_TMP/stdout" || fail "no word on the pipe"
add_frames 2
kill -HUP "$APP_PID"
wait_exit 10; status=$?
[ "$status" -eq 0 ] || fail "exit status $status after SIGHUP"
[ "$(frames_in "$ANIMATIONS/autosave.rgaf")" = 3 ] || fail "SIGHUP left no autosave of 3 frames"
[ "$(frames_in "$KEPT")" = 2 ] || fail "the second session wrote over the first one's work"
pass "a pipe is refused at once; SIGHUP keeps the work; sessions keep each other's work apart"

# 3. A file-size limit of 1 kB: a save of a larger animation fails and the
# program runs on; once the limit is lifted the same save goes through.
rm -f "$ANIMATIONS"/autosave*.rgaf
(cd "$WORKDIR" && ulimit -S -f 1 && exec "$KINEMORPH" </dev/null >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
APP_PID=$!
wait_window
wait_for 10 shot_shows C_CBRD || fail "the editor's windows never appeared"
add_frames 8
key ctrl+s
xdotool type --delay 80 big
key Return
sleep 1
kill -0 "$APP_PID" 2>/dev/null || fail "a save past the size limit ended the program"
[ ! -e "$ANIMATIONS/big.rgaf" ] || fail "a cut animation was left as big.rgaf"
[ -z "$(find "$ANIMATIONS" -name '.kinemorph-save.*')" ] || fail "a temporary file was left"
grep -q 'Error in saving animation data to file!' "$E2E_TMP/stdout" || fail "no word on the failed save"
prlimit --pid "$APP_PID" --fsize=unlimited || fail "cannot lift the limit"
key Return
wait_for 5 test -f "$ANIMATIONS/big.rgaf" || fail "the save did not go through once it could"
[ "$(frames_in "$ANIMATIONS/big.rgaf")" = 9 ] || fail "big.rgaf does not hold 9 frames"
close_app; status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
pass "past a file-size limit a save fails, says so and leaves nothing; the program runs on"
