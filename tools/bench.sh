#!/usr/bin/env bash
# Builds the benchmarks in Release and prints one table of figures, each
# measured as a ratio against a baseline taken in the same run, because the
# machine may be shared and noisy:
#
#   frame       one editor frame through the program's render() against a
#               bare clear-and-present, 800 x 600, no frame limit; wall time
#               and the CPU of all threads (Mesa's software renderer draws
#               on several), with the straightforward drawing (as the
#               program drew before its quicker drawing), the 3-D part and
#               the sky box showing where the time goes
#   timeline    the same editor frame with the timeline strip (F2) shown
#               over five frames, against the bare frame
#   pick        the extra cost of a frame that carries a bone pick, as a
#               share of a bare frame (the pick must finish in that frame)
#   start-up    process spawn to the first presented frame of the program
#               (its own constructor and first loop pass) against a bare
#               window with the same settings
#   idle        the CPU the program takes, left alone for 10 s at the shipped
#               settings (window size, frame limit), as a share of one core
#               (tools/idle_cpu.sh on the Release program)
#   formats     the animation reader and writer against strtod / snprintf
#   model       instructions of one editorUpdate while a looping animation
#               plays on 21 bones (callgrind; repeatable)
#   history     the memory of 1,000 edits' undo history on a 1,000-frame
#               animation against 10 MB, and one undo or redo of an edit in
#               a 10,000-frame animation against 1 ms, through the editor
#   dragging    one mouse move of a bone drag (aim) and of a Ctrl-drag (IK on
#               a 3-bone chain) from the start camera, against a budget of
#               1 ms: a move must leave most of a frame to the drawing
#   import      the motion-capture import of the shared clip (CMU 131_02,
#               1,247 frames at 120 fps): time per source frame against the
#               budget a 30 s clip at 100 fps has (2 s), key frames kept per
#               source frame and against a greedy reducer's on the same dense
#               import, in one run; then kinemorph-import itself on a 30 s
#               clip at 100 fps made from it: wall time against 2 s, peak
#               memory against ten times the clip's file
#   render      kinemorph-render's work per frame (drawn offscreen through
#               EGL, read back, converted and encoded to H.264) at 640 x 480
#               and 1280 x 720, four seconds of the walk at 30 fps, against
#               the frame's own 1/30 s: at most 0.5 is twice as fast as real
#               time (no display needed); also the CPU of all threads
#
#   tools/bench.sh
#
# The GL cases run in a private Xvfb (1280x1024x24), so they always measure
# Mesa's software renderer. Build folder: $BENCH_BUILD (default build-bench);
# repetitions: $BENCH_REPETITIONS (default 7). Raw results stay in
# <build>/bench-results/. Exits non-zero only when something fails to build
# or run; a missed target is reported in the table.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
root=$(pwd)
build=${BENCH_BUILD:-build-bench}
# Absolute from here on: the folder may be given either way.
[[ "$build" == /* ]] || build="$root/$build"
reps=${BENCH_REPETITIONS:-7}
out="$build/bench-results"
export KINEMORPH_SOURCE_DIR="$root"

fail() {
  echo "bench: $*" >&2
  exit 1
}

# ---- build ---------------------------------------------------------------
targets=(bench_animation bench_skeleton bench_frame bench_startup bench_startup_program
  bench_startup_bare bench_editor_update bench_history bench_import bench_render)
mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DKINEMORPH_BENCH=ON -DKINEMORPH_TESTS=ON \
  >"$build/bench-configure.log" 2>&1 || {
  cat "$build/bench-configure.log" >&2
  fail "configuring $build failed"
}
[[ "$(cmake --build "$build" --target help 2>/dev/null)" == *bench_frame* ]] ||
  fail "no benchmark targets: Google Benchmark (libbenchmark-dev) was not found; run tools/setup.sh"
echo "bench: building kinemorph ${targets[*]} in $build (Release)"
cmake --build "$build" -j2 --target kinemorph kinemorph-import "${targets[@]}" >"$build/bench-build.log" 2>&1 || {
  tail -40 "$build/bench-build.log" >&2
  fail "the build failed (log: $build/bench-build.log)"
}
bin="$build/bench"
for t in "${targets[@]}"; do
  [ -x "$bin/$t" ] || fail "$bin/$t was not built (is Google Benchmark installed?)"
done
[ -x "$build/kinemorph" ] || fail "$build/kinemorph was not built"
[ -x "$build/kinemorph-import" ] || fail "$build/kinemorph-import was not built"
command -v valgrind >/dev/null || fail "valgrind not found; run tools/setup.sh first"
[ -x /usr/bin/time ] || fail "/usr/bin/time not found; run tools/setup.sh first"
rm -rf "$out"
mkdir -p "$out"

# ---- a private X server for the GL cases -----------------------------------
fifo=$(mktemp -u /tmp/kinemorph-bench-xvfb.XXXXXX)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 display_number <"$fifo" || true
rm -f "$fifo"
cleanup() { kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null; }
trap cleanup EXIT
[ -n "${display_number:-}" ] || fail "Xvfb did not start"
gl_display=":$display_number"

# Interleaved repetitions: each case runs that many times in random order with
# the others, so a burst of load elsewhere spreads over all of them.
gbench() { # name repetitions binary [args...]
  local name=$1 repetitions=$2
  shift 2
  echo "bench: running $name"
  "$@" --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_report_aggregates_only=true --benchmark_out="$out/$name.csv" \
    --benchmark_out_format=csv >"$out/$name.log" 2>&1 || {
    tail -20 "$out/$name.log" >&2
    fail "$name failed (log: $out/$name.log)"
  }
  if grep -q ',true,' "$out/$name.csv"; then
    grep ',true,' "$out/$name.csv" >&2
    fail "$name reported an error"
  fi
}

gbench animation "$reps" "$bin/bench_animation" --benchmark_min_time=0.5
# Google Benchmark's CSV takes its columns from the first case it reports
# and aborts when a later one brings a counter of its own (its order is
# random here), so cases with different counters run into files of their
# own: the drag moves count "reached", the root rotation nothing; the history
# memory case counts megabytes, the undo case microseconds per step.
gbench skeleton "$reps" "$bin/bench_skeleton" --benchmark_min_time=0.3 \
  --benchmark_filter='^rootRotation$'
gbench drag "$reps" "$bin/bench_skeleton" --benchmark_min_time=0.3 \
  --benchmark_filter='^(aimStep|ikStep|ikStepOutOfReach)$'
gbench frame "$reps" env DISPLAY="$gl_display" "$bin/bench_frame"
gbench history "$reps" "$bin/bench_history" --benchmark_filter='^HistoryOf1000EditsOn1000Frames(/|$)'
gbench undo "$reps" "$bin/bench_history" --benchmark_filter='^UndoRedoOn10000Frames(/|$)'
gbench render "$reps" "$bin/bench_render"
gbench import "$reps" "$bin/bench_import"

# A 30 s clip at 100 fps from the shared one: its frames forward, then
# backward, and so on, 3,000 of them 0.01 s apart. The program is timed as
# a user runs it, with its peak memory.
echo "bench: timing kinemorph-import on a 30 s clip at 100 fps"
long_clip="$out/walk-30s-100fps.bvh"
awk -v want=3000 '
  /^MOTION/ { motion = 1; print; next }
  !motion { print; next }
  /^Frames:/ || /^Frame Time:/ { next }
  NF { frame[n++] = $0 }
  END {
    print "Frames: " want; print "Frame Time: 0.01"
    for (i = 0; i < want; ++i) { k = i % (2 * n - 2); if (k >= n) k = 2 * n - 2 - k; print frame[k] }
  }' tests/data/mocap/cmu-131_02.bvh >"$long_clip"
import_seconds=()
import_kb=()
for run in 1 2 3; do
  /usr/bin/time -f '%e %M' -o "$out/import-time.txt" "$build/kinemorph-import" "$long_clip" \
    -o "$out/walk-30s.rgaf" --skeleton resources/config/skeleton/default.rgcf \
    >"$out/import.log" 2>&1 || {
    cat "$out/import.log" >&2
    fail "kinemorph-import failed on $long_clip"
  }
  import_seconds+=("$(awk '{ print $1 }' "$out/import-time.txt")")
  import_kb+=("$(awk '{ print $2 }' "$out/import-time.txt")")
done
middle() { printf '%s\n' "$@" | sort -g | sed -n 2p; }

# Start-up uses the shipped settings, as the program started from the
# repository root would.
settings=resources/config/settings.ini
setting() { awk -v k="$1" -v d="$2" '$1 == k { v = $2 } END { print (v == "" ? d : v) }' "$settings"; }
# One start is one sample, so take more of them.
start_reps=$((reps * 2 + 1))
startup_args=("$bin/bench_startup_program" "$bin/bench_startup_bare" "$root"
  "$(setting windowed_width 800)" "$(setting windowed_height 600)" "$(setting AA_level 1)")
# The music case has none of the start cases' counters, and Google
# Benchmark's CSV wants the same counters in every row: a file of its own.
gbench startup "$start_reps" env DISPLAY="$gl_display" "$bin/bench_startup" \
  --benchmark_filter='^Start(Program|BareWindow)(/|$)' "${startup_args[@]}"
gbench music "$start_reps" env DISPLAY="$gl_display" "$bin/bench_startup" \
  --benchmark_filter='^StartMusic(/|$)' "${startup_args[@]}"

echo "bench: counting editorUpdate instructions under callgrind"
updates=600
valgrind --tool=callgrind --toggle-collect=kinemorph_editor_updates \
  --callgrind-out-file="$out/editor-update.callgrind" "$bin/bench_editor_update" "$updates" \
  >"$out/editor-update.log" 2>&1 || {
  tail -20 "$out/editor-update.log" >&2
  fail "bench_editor_update failed under callgrind"
}
instructions=$(awk '/^summary:/ { print $2 }' "$out/editor-update.callgrind")
[ -n "$instructions" ] || fail "no instruction count in $out/editor-update.callgrind"
callgrind_annotate --inclusive=yes "$out/editor-update.callgrind" >"$out/editor-update.inclusive.txt" 2>/dev/null
callgrind_annotate "$out/editor-update.callgrind" >"$out/editor-update.self.txt" 2>/dev/null

# The idle program runs in an X server of its own, so nothing else here
# draws while it is measured.
echo "bench: measuring the idle program's CPU"
tools/idle_cpu.sh "$build/kinemorph" >"$out/idle.log" 2>&1 || {
  cat "$out/idle.log" >&2
  fail "tools/idle_cpu.sh failed"
}
idle=$(awk '/^idle CPU:/ { print $3 }' "$out/idle.log")
[ -n "$idle" ] || fail "no figure in $out/idle.log"

# ---- the table -------------------------------------------------------------

# A median from a Google Benchmark CSV, in microseconds: column "real_time"
# (wall clock) or "cpu_time", or a user counter by its name.
median() { # file case column
  awk -F, -v want="$2" -v col="$3" '
    # The CSV opens with a few lines about the machine; the header follows.
    !header { if ($1 == "name") { header = 1; for (i = 1; i <= NF; ++i) { c = $i; gsub(/"/, "", c); h[c] = i } } next }
    {
      name = $1; gsub(/"/, "", name)
      if (name !~ /_median$/) next
      # A case with arguments is asked for whole ("Case/3"), others by name.
      sub(/_median$/, "", name); full = name; sub(/\/.*/, "", name)
      if (name != want && full != want) next
      # A column the file lacks, or one left empty for this case, is no
      # figure: $(h[col]) would then be the whole line or nothing.
      if (!(col in h) || $(h[col]) == "") exit
      v = $(h[col])
      if (col == "real_time" || col == "cpu_time") {
        u = $(h["time_unit"])
        v *= (u == "ns" ? 0.001 : u == "ms" ? 1000 : u == "s" ? 1000000 : 1)
      }
      print v; found = 1; exit
    }
    END { if (!found) exit 1 }' "$out/$1.csv" || fail "no median for $2 in $out/$1.csv"
}
fmt() { # microseconds -> readable
  awk -v t="$1" 'BEGIN {
    if (t >= 1000000) printf "%.2f s", t / 1000000
    else if (t >= 1000) printf "%.2f ms", t / 1000
    else printf "%.1f us", t }'
}
rows=()
missed=0
row() { # case time baseline ratio target(max or -)
  local holds="-"
  if [ "$5" != "-" ]; then
    if awk -v r="$4" -v t="$5" 'BEGIN { exit !(r <= t) }'; then holds="yes"; else
      holds="NO, missed"
      missed=$((missed + 1))
    fi
  fi
  local target="-"
  [ "$5" != "-" ] && target="<= $5"
  rows+=("$1|$2|$3|$4|$target|$holds")
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
against() { # case time baseline target: a row with the time's ratio to the baseline
  row "$1" "$(fmt "$2")" "$(fmt "$3")" "$(ratio "$2" "$3")" "$4"
}

# The frame counters: medians of wall and process-CPU microseconds per kind.
frame_us() { median frame InterleavedFrames "$1_us"; }
frame_cpu_us() { median frame InterleavedFrames "$1_cpu_us"; }
bare=$(frame_us bare) || exit 1
bare_cpu=$(frame_cpu_us bare) || exit 1
# Each kind of frame against the bare one: wall, then the CPU of all threads,
# which shows the work Mesa spreads over its threads that the wall time hides.
frame_rows() { # kind label wall-target cpu-target
  local t c
  t=$(frame_us "$1") || exit 1
  c=$(frame_cpu_us "$1") || exit 1
  against "$2" "$t" "$bare" "$3"
  against "  same, CPU of all threads" "$c" "$bare_cpu" "$4"
}
frame_rows frame "Editor frame / bare frame (wall)" 3.0 3.5
frame_rows plain "  drawn the straightforward way, as before" - -
for part in scene:"  3-D part only: sky box, floor, skeletons" sky:"  sky box only"; do
  t=$(frame_us "${part%%:*}") || exit 1
  against "${part#*:}" "$t" "$bare" -
done
frame_rows timeline "Editor frame with the timeline shown / bare frame" 3.0 3.5
# The pick must finish inside the frame that carries it: its extra cost
# over an editor frame, as a share of a bare frame.
frame=$(frame_us frame) || exit 1
frame_cpu=$(frame_cpu_us frame) || exit 1
pick=$(frame_us pick) || exit 1
pick_cpu=$(frame_cpu_us pick) || exit 1
extra=$(awk -v p="$pick" -v f="$frame" 'BEGIN { print p - f }')
row "Pick: extra cost / bare frame" "$(fmt "$pick") with pick" "$(fmt "$frame") without" \
  "$(ratio "$extra" "$bare")" 0.5
extra_cpu=$(awk -v p="$pick_cpu" -v f="$frame_cpu" 'BEGIN { print p - f }')
row "  same, CPU of all threads" "$(fmt "$pick_cpu") with pick" "$(fmt "$frame_cpu") without" \
  "$(ratio "$extra_cpu" "$bare_cpu")" -

start=$(median startup StartProgram real_time) || exit 1
start_bare=$(median startup StartBareWindow real_time) || exit 1
music=$(median music StartMusic real_time) || exit 1
against "Start-up to first frame / bare window" "$start" "$start_bare" 1.5
# The probes count CPU in milliseconds; the table wants microseconds.
start_cpu=$(median startup StartProgram cpu_ms) || exit 1
start_bare_cpu=$(median startup StartBareWindow cpu_ms) || exit 1
start_cpu=$(awk -v t="$start_cpu" 'BEGIN { print t * 1000 }')
start_bare_cpu=$(awk -v t="$start_bare_cpu" 'BEGIN { print t * 1000 }')
against "  same, CPU of the process" "$start_cpu" "$start_bare_cpu" -
against "  music stream start / start-up" "$music" "$start" -
row "Idle, $(setting windowed_width 800)x$(setting windowed_height 600), $(setting framerate_limit 0) fps limit" \
  "$idle % CPU" "one core" "$(awk -v p="$idle" 'BEGIN { printf "%.3f", p / 100 }')" 0.35
# Where the start-up time goes, for the notes under the table.
phases=()
for phase in StartProgram:to_main_ms StartProgram:setup_ms StartProgram:first_frame_ms \
  StartBareWindow:to_main_ms StartBareWindow:setup_ms StartBareWindow:first_frame_ms; do
  t=$(median startup "${phase%%:*}" "${phase#*:}") || exit 1
  phases+=("$(printf '%.1f' "$t")")
done

read_t=$(median animation ReadAnimation real_time) || exit 1
read_b=$(median animation ReadBaselineStrtod real_time) || exit 1
write_t=$(median animation WriteAnimation real_time) || exit 1
write_b=$(median animation WriteBaselineSnprintf real_time) || exit 1
against "Animation read / strtod" "$read_t" "$read_b" 1.5
against "Animation write / snprintf" "$write_t" "$write_b" 1.5

per_update=$(awk -v i="$instructions" -v n="$updates" 'BEGIN { printf "%.0f", i / n }')
row "editorUpdate, looping play, 21 bones" "$per_update instr" "-" "-" -
# Figures shown for the record, with no baseline or target.
plain() { # case file benchmark
  local t
  t=$(median "$2" "$3" real_time) || exit 1
  row "$1" "$(fmt "$t")" "-" "-" -
}
plain "Player update, 21 bones" animation PlayerUpdate
plain "Root rotation, 21-bone rebuild" skeleton rootRotation
# The drag gestures run once per mouse move; their baseline is a fixed
# budget, not a measurement.
budget() { # case benchmark
  local t
  t=$(median drag "$2" real_time) || exit 1
  row "$1" "$(fmt "$t")" "1 ms budget" "$(ratio "$t" 1000)" 0.5
}
budget "Bone drag, one move (aim)" aimStep
budget "Ctrl-drag, one move (3-bone IK)" ikStep
budget "  same, pointer out of reach" ikStepOutOfReach
plain "Save + load, 10000 frames" animation SaveAndLoadFile
history_mb=$(median history HistoryOf1000EditsOn1000Frames history_mb) || exit 1
heap_mb=$(median history HistoryOf1000EditsOn1000Frames heap_growth_mb) || exit 1
row "Undo history, 1000 edits on 1000 frames" "$(printf '%.2f MB' "$history_mb")" "10 MB budget" \
  "$(ratio "$history_mb" 10)" 1
row "  heap growth over the same edits" "$(printf '%.2f MB' "$heap_mb")" "10 MB budget" \
  "$(ratio "$heap_mb" 10)" 1
for kind in 1:"Undo or redo, 10000 frames (new times)" 3:"  same, a frame deleted mid-animation"; do
  t=$(median undo "UndoRedoOn10000Frames/${kind%%:*}" per_step_us) || exit 1
  row "${kind#*:}" "$(fmt "$t")" "1 ms budget" "$(ratio "$t" 1000)" 1
done

# The import: one run of the shared clip gives time, keys and the greedy
# baseline's keys; the program's run on the 30 s clip its time and memory.
import_us=$(median import ImportCapturedWalk real_time) || exit 1
import_frames=$(median import ImportCapturedWalk frames) || exit 1
import_keys=$(median import ImportCapturedWalk keys) || exit 1
greedy_keys=$(median import ImportCapturedWalk greedy_keys) || exit 1
per_frame=$(awk -v t="$import_us" -v n="$import_frames" 'BEGIN { print t / n }')
against "Import, per source frame (captured walk)" "$per_frame" 666.67 1
row "Key frames / source frames (same run)" "$(printf '%.0f keys' "$import_keys")" \
  "$(printf '%.0f frames' "$import_frames")" "$(ratio "$import_keys" "$import_frames")" 0.25
row "Key frames / greedy baseline's (same run)" "$(printf '%.0f keys' "$import_keys")" \
  "$(printf '%.0f keys' "$greedy_keys")" "$(ratio "$import_keys" "$greedy_keys")" 0.999
long_s=$(middle "${import_seconds[@]}")
long_kb=$(middle "${import_kb[@]}")
clip_kb=$(($(stat -c %s "$long_clip") / 1024))
row "kinemorph-import, 30 s clip at 100 fps" "$long_s s" "2 s budget" "$(ratio "$long_s" 2)" 1
row "  peak memory / clip file" "$((long_kb / 1024)) MB" "$((clip_kb / 1024)) MB file" \
  "$(ratio "$long_kb" "$clip_kb")" 10
# A frame's work against the frame's own time at 30 fps.
frame_time_us=33333
for size in 640x480 1280x720; do
  t=$(median render "RenderMp4/${size/x//}/iterations:2/real_time" frame_us) || exit 1
  target=-
  [ "$size" = 1280x720 ] && target=0.5
  row "Render + encode MP4 $size, per frame / 1/30 s" "$(fmt "$t")" "$(fmt "$frame_time_us")" \
    "$(ratio "$t" "$frame_time_us")" "$target"
  # The CPU of all threads: what the render costs whatever else runs.
  c=$(median render "RenderMp4/${size/x//}/iterations:2/real_time" frame_cpu_us) || exit 1
  against "  same, CPU of all threads" "$c" "$frame_time_us" -
done

echo
{
  echo "Case|Time|Baseline|Ratio|Target|Holds"
  printf '%s\n' "${rows[@]}"
} | column -t -s '|'
echo
echo "Medians of $reps interleaved repetitions ($start_reps for start-up; frames: medians of" \
  "100 rounds of the seven kinds of frame in turn per repetition; idle: one reading, not a median)."
echo "Start-up phases (median ms):" \
  "program: to main ${phases[0]}, constructor ${phases[1]}, first pass ${phases[2]};" \
  "bare window: to main ${phases[3]}, window ${phases[4]}, first frame ${phases[5]}."
echo "A pick ratio at or below 0 means the frame with the pick was no slower than one without," \
  "within the noise."
echo "Where editorUpdate's instructions go: $out/editor-update.inclusive.txt"
echo "kinemorph-import on the 30 s clip: the median of 3 runs; its line: $(tail -n 1 "$out/import.log")"
if [ "$missed" -gt 0 ]; then
  echo "bench: $missed target(s) missed (see Holds); the figures are above."
else
  echo "bench: every target holds."
fi
exit 0
