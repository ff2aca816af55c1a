#!/usr/bin/env bash
# Memory soak: the program plays a looping three-frame animation, with a
# turned bone, for two minutes with no frame-rate limit. Its resident memory
# at the end must be within 2 MB of what it was ten seconds into the play.
#
#   SOAK_SECONDS=<n>  length of the play (default 120)
source "$(dirname "$0")/lib.sh"

W=800 H=600
PLAY_SECONDS=${SOAK_SECONDS:-120}
ALLOWED_KB=2048
FIGURE=200x260+300+150

start_xvfb $W $H
make_workdir
use_window_size $W $H 0 # as fast as it goes
read_targets $W $H
start_app
wait_window
xdotool windowmove --sync "$WID" 0 0
sleep 1

# Frame 1 with the left upper arm turned about its main axis, frame 2 with
# it turned further about its second axis; frame 0 is the rest pose.
read -r BX BY <<<"$(cd "$WORKDIR" && "$PROJECT_BONE" 14 $W $H)" || fail "cannot project bone 14"
click_at "$BX" "$BY"
sleep 0.5
shot "$E2E_TMP/rest.png"
hold() {
  # shellcheck disable=SC2086
  xdotool mousemove ${AT[$1]} mousedown 1 sleep "$2" mouseup 1
  sleep 0.3
}
click_target ADD_NEW_FRAME
hold MAIN_AXIS_INCR 1.5
click_target SAVE_FRAME
click_target ADD_NEW_FRAME
hold SEC_AXIS_INCR 1.5
click_target SAVE_FRAME
shot "$E2E_TMP/turned.png"
[ "$(diff_pixels "$E2E_TMP/rest.png" "$E2E_TMP/turned.png" $FIGURE)" -gt 20 ] ||
  fail "the held buttons did not turn the bone"
pass "three frames, the bone turned in two of them"

click_target PLAY_ANIMATION
played=$(date +%s)
sleep 2
shot "$E2E_TMP/play1.png"
sleep 0.6
shot "$E2E_TMP/play2.png"
[ "$(diff_pixels "$E2E_TMP/play1.png" "$E2E_TMP/play2.png" $FIGURE)" -gt 20 ] ||
  fail "the animation does not move"
pass "the animation plays"

wait_until() { while (($(date +%s) - played < $1)); do sleep 1; done; }
wait_until 10
kill -0 "$APP_PID" 2>/dev/null || fail "program ended during the soak"
early=$(rss_kb "$APP_PID")
# A sample every ten seconds shows a steady climb apart from noise.
samples="$early"
for t in $(seq 20 10 "$PLAY_SECONDS"); do
  wait_until "$t"
  kill -0 "$APP_PID" 2>/dev/null || fail "program ended during the soak"
  samples="$samples $(rss_kb "$APP_PID")"
done
late=${samples##* }
echo "soak: VmRSS every 10 s (kB): $samples"
growth=$((late - early))
echo "soak: VmRSS after 10 s of play: $early kB; after $PLAY_SECONDS s: $late kB; growth $growth kB"
[ "$growth" -le "$ALLOWED_KB" ] && [ "$growth" -ge "-$ALLOWED_KB" ] ||
  fail "resident memory changed by $growth kB (allowed $ALLOWED_KB)"
pass "resident memory steady over $PLAY_SECONDS s"

shot "$E2E_TMP/play3.png"
sleep 0.6
shot "$E2E_TMP/play4.png"
[ "$(diff_pixels "$E2E_TMP/play3.png" "$E2E_TMP/play4.png" $FIGURE)" -gt 20 ] ||
  fail "the animation stopped moving"
close_app 30; status=$?
[ "$status" -eq 0 ] || fail "exit status $status"
pass "still playing at the end; closed with status 0"
