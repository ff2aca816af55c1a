#!/usr/bin/env bash
# How much CPU the program takes when left alone at its shipped settings
# (resources/config/settings.ini: window size, frame limit). A program that
# waits for input should cost little; one that redraws needlessly shows here
# long before anyone feels it.
#
#   tools/idle_cpu.sh [program]        (default build/kinemorph)
#
# Starts a private Xvfb and the program in a private copy of resources/ (so
# nothing it writes lands in the repository), waits for its first frames,
# then reads the process's CPU time (all threads) from /proc/PID/stat twice,
# $IDLE_SECONDS apart (default 10), and prints
#
#   idle CPU: 25.3 % of one core over 10 s
#
# Then ends the program with SIGTERM, which goes through its normal teardown.
# $IDLE_SETTLE (default 3) is the wait after the program's start-up line;
# $IDLE_START_TIMEOUT (default 60) how long it may take to print it. Exits
# non-zero with one line on standard error when something fails: no program,
# no X server, the program ends early or does not end on SIGTERM.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$(pwd)
program=${1:-build/kinemorph}
seconds=${IDLE_SECONDS:-10}
settle=${IDLE_SETTLE:-3}
start_timeout=${IDLE_START_TIMEOUT:-60}

fail() {
  echo "idle_cpu: $*" >&2
  exit 1
}

if [ ! -f "$program" ] || [ ! -x "$program" ]; then
  fail "no program at $program (build it first)"
fi
# It runs from another folder, so it needs a path that holds there.
program=$(realpath "$program")

tmp=$(mktemp -d /tmp/kinemorph-idle.XXXXXX) || fail "cannot make a temporary folder"
xvfb_pid=""
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then
    kill -KILL "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
  fi
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# The program reads resources/ relative to its working directory.
cp -r "$root/resources" "$tmp/" || fail "cannot copy resources/ to $tmp"

mkfifo "$tmp/displayfd"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/displayfd" >/dev/null 2>&1 &
xvfb_pid=$!
display_number=""
read -r -t 20 display_number <"$tmp/displayfd" || true
[ -n "$display_number" ] || fail "Xvfb did not start"

# exec, so $! is the program itself and /proc/$! its own figures.
(cd "$tmp" && DISPLAY=":$display_number" exec "$program" </dev/null >"$tmp/stdout" 2>"$tmp/stderr") &
app_pid=$!

# "R", "S", ... from /proc/PID/stat, or nothing once the process is gone. A
# child that ended stays a zombie ("Z") until it is waited for.
state() { awk '{ sub(/^.*\) /, ""); print $1 }' "/proc/$app_pid/stat" 2>/dev/null; }
running() { local s; s=$(state); [ -n "$s" ] && [ "$s" != Z ] && [ "$s" != X ]; }
last_line() { grep -v '^$' "$tmp/stdout" 2>/dev/null | tail -n 1; }
ended() { fail "the program ended $1 (its last line: '$(last_line)')"; }

# The constructor's last line; a start that fails prints it too, then ends.
deadline=$((SECONDS + start_timeout))
until grep -q '^OpenGL Ver\.:' "$tmp/stdout" 2>/dev/null; do
  running || ended "before its window was up"
  [ "$SECONDS" -lt "$deadline" ] || fail "no start-up line from the program within $start_timeout s"
  sleep 0.1
done
sleep "$settle"
running || ended "during its first frames"

# utime + stime of the process (fields 14 and 15, counting from the pid),
# which include every thread's, in clock ticks. The name field may hold
# spaces, so count from its closing parenthesis.
ticks() { awk '{ sub(/^.*\) /, ""); print $12 + $13 }' "/proc/$app_pid/stat" 2>/dev/null; }
now() { date +%s.%N; }
hz=$(getconf CLK_TCK)
t0=$(now)
c0=$(ticks)
sleep "$seconds"
c1=$(ticks)
t1=$(now)
if [ -z "$c0" ] || [ -z "$c1" ] || ! running; then
  ended "while it was measured"
fi
# Against the wall time that really passed, which may exceed the sleep.
awk -v a="$c0" -v b="$c1" -v hz="$hz" -v t0="$t0" -v t1="$t1" -v s="$seconds" \
  'BEGIN { printf "idle CPU: %.1f %% of one core over %s s\n", (b - a) / hz / (t1 - t0) * 100, s }'

kill -TERM "$app_pid"
for _ in $(seq 1 100); do
  running || break
  sleep 0.1
done
running && fail "the program did not end within 10 s of SIGTERM"
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "the program ended with status $status on SIGTERM (its last line: '$(last_line)')"
exit 0
