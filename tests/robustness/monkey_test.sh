#!/usr/bin/env bash
# A random tester on the real program (sanitizer build): for about two
# minutes it sends thousands of mouse and key events to an 800x600 window,
# aimed mostly at the editor's own buttons, fields, title bars and bones:
# clicks of all three buttons, held buttons, drags of windows and of the
# camera, wheel turns, keys, typing names into the load and save dialogs and
# pressing Load and Save, and short visits to the menu. When the program
# leaves through the menu's Exit it must have done so cleanly, and it is
# started again. At the end the window must still answer, closing it must
# end the program with status 0, no run may have printed a sanitizer report,
# and every animation file the runs saved must load back.
#
#   MONKEY_SEED=<n>     replays the same sequence of events
#   MONKEY_SECONDS=<n>  length of the run (default 120)
source "$(dirname "$0")/lib.sh"

W=800 H=600
RUN_SECONDS=${MONKEY_SECONDS:-120}
seed=${MONKEY_SEED:-$(($(date +%s%N) / 1000 % 1000000007))}
echo "monkey: seed $seed (replay with MONKEY_SEED=$seed)"
RANDOM=$seed

start_xvfb $W $H
make_workdir
use_window_size $W $H
rm -f "$ARTIFACTS"/*.rgaf "$ARTIFACTS"/.rgaf
ACTIONS="$ARTIFACTS/monkey-actions.log"
echo "seed $seed" >"$ACTIONS"
read_targets $W $H
BONES=()
for i in $(seq 0 20); do
  BONES+=("$(cd "$WORKDIR" && "$PROJECT_BONE" "$i" $W $H)") || fail "cannot project bone $i"
done
# Names typed into the dialogs: a few that repeat, so loads find saves.
NAMES=(walk jump a wave walk spin)

# ---- random helpers (bash's RANDOM, seeded above) -------------------------
rnd() { R=$((RANDOM % $1)); }
pick() { # pick <array name>: sets P to a random element
  local -n list=$1
  rnd ${#list[@]}
  P=${list[$R]}
}
clamp_x() { ((X < 0)) && X=0; ((X > W - 1)) && X=$((W - 1)); }
clamp_y() { ((Y < 0)) && Y=0; ((Y > H - 1)) && Y=$((H - 1)); }
# Sets X Y to target $1 moved by up to $2 pixels each way.
aim() {
  read -r X Y <<<"${AT[$1]}"
  local j=${2:-3}
  rnd $((2 * j + 1)); X=$((X + R - j))
  rnd $((2 * j + 1)); Y=$((Y + R - j))
  clamp_x; clamp_y
}
anywhere() { rnd $W; X=$R; rnd $H; Y=$R; }

# ---- the batch of xdotool commands being built ----------------------------
CMD=()
EVENTS=0
# Appends xdotool commands, counting the input events they make: a move, a
# button going down or up, a key pressed and released.
add() {
  CMD+=("$@")
  local word
  for word in "$@"; do
    case $word in
      mousemove | mousedown | mouseup) EVENTS=$((EVENTS + 1)) ;;
      key) EVENTS=$((EVENTS + 2)) ;;
    esac
  done
}
pause() { rnd $1; add sleep "0.$(printf '%03d' $((R + 10)))"; }

# Moves the recorded targets of floating window $1 by ($2, $3).
move_window_targets() {
  local id x y
  for id in "${!OWNER[@]}"; do
    [ "${OWNER[$id]}" = "$1" ] || continue
    [ -n "${AT[$id]:-}" ] || continue
    read -r x y <<<"${AT[$id]}"
    AT[$id]="$((x + $2)) $((y + $3))"
  done
  read -r x y <<<"${AT[title:$1]}"
  AT[title:$1]="$((x + $2)) $((y + $3))"
  EX0[$1]=$((EX0[$1] + $2)) EX1[$1]=$((EX1[$1] + $2)) EY1[$1]=$((EY1[$1] + $3))
}

# ---- actions ---------------------------------------------------------------
HELD_RE='_AXIS_|MOVE_SKELETON'
act_button() {
  pick BUTTONS; aim "$P"
  rnd 3
  if [[ $P =~ $HELD_RE ]] && ((R > 0)); then
    rnd 8
    add mousemove $X $Y mousedown 1 sleep "0.$((R + 1))" mouseup 1
  else
    add mousemove $X $Y mousedown 1 mouseup 1
  fi
}
act_bone() {
  pick BONES; read -r X Y <<<"$P"
  rnd 9; X=$((X + R - 4)); rnd 9; Y=$((Y + R - 4)); clamp_x; clamp_y
  rnd 2
  if ((R == 0)); then
    add mousemove $X $Y mousedown 1 mouseup 1
    return
  fi
  # Drag the bone by its tip, plain, twisting (Shift) or with its chain
  # (Ctrl); the pick runs in the next frame, so wait a little first.
  rnd 3
  local mod=""
  ((R == 1)) && mod=shift
  ((R == 2)) && mod=ctrl
  [ -n "$mod" ] && add keydown $mod
  add mousemove $X $Y mousedown 1 sleep 0.05
  rnd 4; local n=$((R + 2))
  for _ in $(seq 1 $n); do
    rnd 41; X=$((X + R - 20)); rnd 41; Y=$((Y + R - 20)); clamp_x; clamp_y
    add mousemove $X $Y sleep 0.01
  done
  add mouseup 1
  [ -n "$mod" ] && add keyup $mod
}
act_click() { # random place, button 1, 2 or 3
  anywhere; rnd 10
  local b=1; ((R >= 6)) && b=3; ((R == 9)) && b=2
  add mousemove $X $Y mousedown $b mouseup $b
}
act_moves() {
  rnd 5; local n=$((R + 1))
  for _ in $(seq 1 $n); do anywhere; add mousemove $X $Y; done
}
# The leftmost, rightmost and lowest target inside each floating window,
# kept up to date by move_window_targets.
declare -A EX0 EX1 EY1
compute_extents() {
  local id win x y
  EX0=() EX1=() EY1=()
  for id in "${!OWNER[@]}"; do
    win=${OWNER[$id]}
    [ -n "$win" ] && [ -n "${AT[$id]:-}" ] || continue
    read -r x y <<<"${AT[$id]}"
    ((x < ${EX0[$win]:-99999})) && EX0[$win]=$x
    ((x > ${EX1[$win]:--1})) && EX1[$win]=$x
    ((y > ${EY1[$win]:--1})) && EY1[$win]=$y
  done
}
# True when (X, Y) is on some window's title bar, as far as the targets tell.
on_title_bar() {
  local win ty
  for win in "${TITLES[@]}"; do
    ty=${AT[title:$win]#* }
    ((Y >= ty - 10 && Y <= ty + 10)) || continue
    ((X >= EX0[$win] - 40 && X <= EX1[$win] + 40)) && return 0
  done
  return 1
}
act_drag() { # button 1 or 3 from one random place to another
  rnd 3; local b=1; ((R == 0)) && b=3
  # Windows move only through act_title_drag, which keeps track of them.
  anywhere
  while ((b == 1)) && on_title_bar; do anywhere; done
  add mousemove $X $Y mousedown $b
  rnd 5; local n=$((R + 2))
  for _ in $(seq 1 $n); do
    rnd 81; X=$((X + R - 40)); rnd 81; Y=$((Y + R - 40)); clamp_x; clamp_y
    add mousemove $X $Y sleep 0.01
  done
  add mouseup $b
}
act_title_drag() {
  pick TITLES; local win=$P
  aim "title:$win" 2
  local x0=$X y0=$Y
  rnd 241; local dx=$((R - 120)); rnd 161; local dy=$((R - 80))
  # Keep the window on the screen, where its controls can still be hit, and
  # its bar below the top bar's buttons.
  ((EX0[$win] + dx < 15)) && dx=$((15 - EX0[$win]))
  ((EX1[$win] + dx > W - 15)) && dx=$((W - 15 - EX1[$win]))
  ((y0 + dy < 45)) && dy=$((45 - y0))
  ((EY1[$win] + dy > H - 12)) && dy=$((H - 12 - EY1[$win]))
  add mousemove $x0 $y0 mousedown 1
  for s in 1 2 3 4; do add mousemove $((x0 + dx * s / 4)) $((y0 + dy * s / 4)) sleep 0.01; done
  rnd 4
  if ((R == 0)); then
    move_window_targets "$win" $dx $dy
  else # most drags bring the window home, so the targets stay true
    add mousemove $((x0 + dx / 2)) $((y0 + dy / 2)) sleep 0.01 mousemove $x0 $y0
  fi
  add mouseup 1
}
act_wheel() {
  anywhere; add mousemove $X $Y
  rnd 5; local n=$((R + 1)); rnd 2; local b=$((R + 4))
  for _ in $(seq 1 $n); do add mousedown $b mouseup $b; done
}
KEYS=(a b c e k m q s w x z 0 1 5 9 KP_0 KP_3 KP_7 KP_9 space BackSpace BackSpace
  Left Right Up Down Prior Next F12 Return shift+a shift+z Tab Delete
  ctrl+z ctrl+z ctrl+y ctrl+shift+z ctrl+d ctrl+c ctrl+v ctrl+shift+v ctrl+m ctrl+o ctrl+s
  Insert Home alt+Left alt+Right alt+Home alt+End alt+shift+Left alt+shift+Right F1 F2
  ctrl+n ctrl+l ctrl+i ctrl+r ctrl+shift+r)
act_keys() {
  rnd 6; local n=$((R + 1))
  for _ in $(seq 1 $n); do pick KEYS; add key "$P"; done
}
# Focus a name field, rub some of it out, type a name (possibly none).
type_name() {
  aim "$1" 8; add mousemove $X $Y mousedown 1 mouseup 1
  rnd 4; for _ in $(seq 0 $R); do add key BackSpace; done
  rnd 8
  # One key per letter: xdotool's type would swallow the rest of the chain.
  if ((R < 6)); then pick NAMES; for ((i = 0; i < ${#P}; i++)); do add key "${P:i:1}"; done; fi
}
# Opens a dialog with $1, types a name into its field $2, then presses
# Cancel ($3) now and then and otherwise the dialog's own button ($4).
act_dialog() {
  aim "$1"; add mousemove $X $Y mousedown 1 mouseup 1 sleep 0.05
  type_name "$2"
  rnd 6
  if ((R == 0)); then aim "$3"; else aim "$4"; fi
  add mousemove $X $Y mousedown 1 mouseup 1
}
act_properties() {
  rnd 3
  if ((R == 0)); then
    aim CHANGE_MOTION; add mousemove $X $Y mousedown 1 mouseup 1
  else
    pick FIELDS; aim "$P"; add mousemove $X $Y mousedown 1 mouseup 1
    rnd 12; for _ in $(seq 0 $R); do rnd 10; add key "$R"; done
  fi
  aim APPLY_FRAME; add mousemove $X $Y mousedown 1 mouseup 1
}
MENU_VISIT=0
# The menu's first page stacks Exit, About and Return, 200 x 30 each with
# gaps of 10, in the middle of the window; Exit is the lowest.
EXIT_X0=$((W / 2 - 100)) EXIT_X1=$((W / 2 + 100))
EXIT_Y0=$((H - (H - 110) / 2 - 30)) EXIT_Y1=$((H - (H - 110) / 2))
on_exit_button() { ((X >= EXIT_X0 && X <= EXIT_X1 && Y >= EXIT_Y0 && Y <= EXIT_Y1)); }
act_menu() { # open the menu, poke at its pages; the batch ends here
  add key Escape sleep 0.2
  rnd 4
  for _ in $(seq 0 $R); do
    # Mostly the page's buttons and text; Exit only now and then.
    rnd 20
    if ((R == 0)); then anywhere; else
      while :; do rnd 240; X=$((W / 2 - 120 + R)); rnd 300; Y=$((H / 2 - 150 + R)); on_exit_button || break; done
    fi
    add mousemove $X $Y mousedown 1 mouseup 1 sleep 0.1
  done
  rnd 2
  ((R)) && act_keys
  MENU_VISIT=1
}

next_action() {
  rnd 100
  if ((R < 22)); then act_button
  elif ((R < 30)); then act_bone
  elif ((R < 40)); then act_click
  elif ((R < 48)); then act_moves
  elif ((R < 54)); then act_drag
  elif ((R < 61)); then act_title_drag
  elif ((R < 67)); then act_wheel
  elif ((R < 80)); then act_keys
  elif ((R < 86)); then act_dialog SHOW_SAVE T_SFN CANCEL_SAVE SAVE_ANI
  elif ((R < 91)); then act_dialog SHOW_LOAD T_LFN CANCEL_LOAD LOAD_ANI
  elif ((R < 98)); then act_properties
  else act_menu
  fi
  pause 40
}

# ---- the program -------------------------------------------------------------
RUNS=0
EXITS=0
# The menu hides the top bar's buttons behind a dark backdrop.
menu_shown() {
  local v
  v=$(import -silent -window root -crop 1x1+250+8 -depth 8 -format '%[fx:int(255*(r+g+b))]' info: 2>/dev/null)
  [ -n "$v" ] && [ "$v" -lt 60 ]
}
# A window that is gone belongs to a program on its way out through Exit;
# the main loop deals with that.
window_gone() { ! xwininfo -id "$WID" >/dev/null 2>&1; }
close_menu() {
  for _ in 1 2 3 4; do
    window_gone && return 0
    menu_shown || return 0
    xdotool key Escape; sleep 0.4
  done
  window_gone && return 0
  menu_shown && fail "the menu does not close with Escape"
}
launch() {
  RUNS=$((RUNS + 1))
  start_app
  wait_window
  # Without a window manager the window opens off the screen's origin.
  xdotool windowmove --sync "$WID" 0 0
  sleep 0.5
  # The properties window starts partly outside an 800-wide window: bring
  # it in by its title bar, as a user would.
  read_targets $W $H
  compute_extents
  local tx ty
  read -r tx ty <<<"${AT[title:CC_FP]}"
  tx=$((W - 100))
  xdotool mousemove $tx $ty mousedown 1 mousemove $((tx - 100)) $ty sleep 0.05 \
    mousemove $((tx - 200)) $ty sleep 0.05 mouseup 1
  move_window_targets CC_FP -200 0
  echo "run $RUNS started" >>"$ACTIONS"
}
# The program ended by itself: only the menu's Exit may do that, cleanly.
after_exit() {
  local status=0
  wait "$APP_PID" || status=$?
  APP_PID=""
  [ "$status" -eq 0 ] || fail "program died with status $status in run $RUNS (seed $seed)"
  no_sanitizer_report "in run $RUNS (seed $seed)"
  EXITS=$((EXITS + 1))
  echo "monkey: run $RUNS left through the menu's Exit after $EVENTS events; starting again"
  cat "$E2E_TMP/stderr" >>"$E2E_TMP/all-stderr"
  ((EXITS > 25)) && fail "the program left $EXITS times; the monkey cannot keep it running"
  launch
}

: >"$E2E_TMP/all-stderr"
launch
started=$(date +%s)
while (($(date +%s) - started < RUN_SECONDS)); do
  CMD=()
  MENU_VISIT=0
  target=$((EVENTS + 40))
  while ((EVENTS < target && !MENU_VISIT)); do next_action; done
  echo "${CMD[*]}" >>"$ACTIONS"
  xdotool "${CMD[@]}" 2>>"$E2E_TMP/xdotool.log"
  # A menu visit lasts one batch; then the editor gets the events again.
  if ((MENU_VISIT)) || [[ " ${CMD[*]} " == *" Escape "* ]]; then close_menu; fi
  if window_gone; then
    # Exit was pressed: give the program the time its leak check takes.
    wait_gone=0
    while kill -0 "$APP_PID" 2>/dev/null && ((wait_gone++ < 600)); do sleep 0.1; done
  fi
  kill -0 "$APP_PID" 2>/dev/null || after_exit
done
echo "monkey: $EVENTS events in $(($(date +%s) - started)) s, $RUNS run(s), $EXITS exit(s) through the menu"

# ---- the end -------------------------------------------------------------------
sleep 1
kill -0 "$APP_PID" 2>/dev/null || after_exit
close_menu
shot "$ARTIFACTS/monkey-final.png"
colours=$(identify -format '%k' "$ARTIFACTS/monkey-final.png")
[ "$colours" -gt 50 ] || fail "final screenshot is blank ($colours colours)"
xdotool key Escape
sleep 1
shot "$E2E_TMP/answer.png"
changed=$(diff_pixels "$ARTIFACTS/monkey-final.png" "$E2E_TMP/answer.png" ${W}x${H}+0+0)
[ "$changed" -gt 1000 ] || fail "the window no longer answers: Escape changed $changed pixels"
pass "the window still answers ($colours colours; Escape changed $changed pixels)"

close_app 60; status=$?
[ "$status" -eq 0 ] || fail "exit status $status after close"
cat "$E2E_TMP/stderr" >>"$E2E_TMP/all-stderr"
pass "closing the window ends the program with status 0"

reports=$(sanitizer_reports "$E2E_TMP/all-stderr")
if [ "$reports" -ne 0 ]; then
  grep -m1 -A30 -E '^==[0-9]+==|runtime error:' "$E2E_TMP/all-stderr"
  fail "$reports sanitizer report lines (seed $seed)"
fi
pass "no sanitizer report in $RUNS run(s)"

mapfile -t saved < <(find "$WORKDIR/$ANIMATIONS_DIR" -maxdepth 1 -name '*.rgaf' | sort)
if [ ${#saved[@]} -eq 0 ]; then
  echo "monkey: note: no animation was saved in this run"
else
  cp "${saved[@]}" "$ARTIFACTS/" 2>/dev/null
  "$CHECK_ANIMATION" "${saved[@]}" || fail "a saved animation does not load back (seed $seed)"
  pass "all ${#saved[@]} saved animation file(s) load back"
fi
