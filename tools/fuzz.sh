#!/usr/bin/env bash
# Builds the libFuzzer targets of the file readers with clang and runs each
# for a bounded time on a throw-away copy of its seed corpus.
#
#   tools/fuzz.sh [seconds-per-target] [target...]
#
# Seconds default to $FUZZ_SECONDS, else 60; targets default to all five.
# The build goes to $FUZZ_BUILD (default build-fuzz). Fails on any crash,
# leak, time-out, out-of-memory, sanitizer report or broken property, naming
# the target and the saved reproducer; prints one summary line per target.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$(date +%s)

seconds=${1:-${FUZZ_SECONDS:-60}}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(settings_fuzzer skeleton_fuzzer keyframe_line_fuzzer animation_fuzzer bvh_fuzzer)
build=${FUZZ_BUILD:-build-fuzz}

if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
  echo "fuzz: seconds per target must be a whole number above 0, not '$seconds'" >&2
  exit 2
fi
if ! command -v clang++ >/dev/null; then
  echo "fuzz: clang++ not found; run tools/setup.sh first" >&2
  exit 2
fi

# The readers are compiled with coverage counters and both sanitizers; only
# the fuzz targets link libFuzzer's main. UBSan must not recover, or its
# reports would scroll past as warnings instead of failing the run.
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
mkdir -p "$build"
if ! CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKINEMORPH_FUZZ=ON -DKINEMORPH_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$flags" >"$build/fuzz-configure.log" 2>&1; then
  cat "$build/fuzz-configure.log" >&2
  echo "fuzz: configuring $build failed" >&2
  exit 1
fi
if ! cmake --build "$build" --target "${targets[@]}" -j"$(nproc)" >"$build/fuzz-build.log" 2>&1; then
  tail -n 60 "$build/fuzz-build.log" >&2
  echo "fuzz: building the fuzz targets failed (full log: $build/fuzz-build.log)" >&2
  exit 1
fi
echo "fuzz: built ${targets[*]} in $(($(date +%s) - started)) s; ${seconds} s each"

work=$(mktemp -d /tmp/kinemorph-fuzz.XXXXXX)
trap 'rm -rf "$work"' EXIT
logs="$build/fuzz-logs"
saved="$build/fuzz-artifacts"
mkdir -p "$logs"

export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$root/tests/support/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

failed=()
for target in "${targets[@]}"; do
  name=${target%_fuzzer}
  corpus="$work/$name/corpus"
  artifacts="$work/$name/artifacts"
  log="$logs/$target.log"
  mkdir -p "$corpus" "$artifacts"
  # A copy: what the run adds must never grow the corpus kept in the repo.
  cp "tests/fuzz/corpus/$name/"* "$corpus/"
  dict=()
  [ -f "tests/fuzz/dict/$name.dict" ] && dict=(-dict="tests/fuzz/dict/$name.dict")

  # The outer limit only catches a fuzzer that never gets going; libFuzzer
  # itself stops after max_total_time and reports slow inputs after 10 s.
  timeout --kill-after=30 $((seconds + 120)) "$build/tests/fuzz/$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=8192 -detect_leaks=1 \
    -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" "$corpus" >"$log" 2>&1
  status=$?

  reports=$(grep -cE '^==[0-9]+==(ERROR|WARNING): [A-Za-z]+Sanitizer|runtime error:|broken property:' "$log")
  found=("$artifacts"/*)
  [ -e "${found[0]}" ] || found=()

  if [ $status -ne 0 ] || [ "$reports" -ne 0 ] || [ ${#found[@]} -ne 0 ]; then
    failed+=("$target")
    echo "fuzz: $target FAILED (exit status $status)"
    grep -m1 -A40 -E '^==[0-9]+==|runtime error:|broken property:|ALARM:|out-of-memory|Timeout|deadly signal' "$log" | sed 's/^/  | /'
    mkdir -p "$saved/$name"
    for f in "${found[@]}"; do
      cp "$f" "$saved/$name/"
      echo "  reproducer: $saved/$name/$(basename "$f")"
      echo "  replay:     $build/tests/fuzz/$target $saved/$name/$(basename "$f")"
    done
    echo "  full log:   $log"
    continue
  fi

  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
  last=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$last")
  features=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$last")
  size=$(find "$corpus" -type f | wc -l)
  printf 'fuzz: %-22s ok  %10s execs  %7s exec/s  cov %5s  ft %6s  corpus %4s files\n' \
    "$target" "${execs:-?}" "${rate:-?}" "${cov:-?}" "${features:-?}" "$size"
done

echo "fuzz: whole run took $(($(date +%s) - started)) s"
if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz: FAILED: ${failed[*]}" >&2
  exit 1
fi
