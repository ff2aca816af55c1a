#!/usr/bin/env bash
# A missing font or no display at all makes the start fail cleanly: the
# reason lines, the version line and "Game could not start...", then a
# prompt return (no terminal on standard input, so no pause) with status 0.
source "$(dirname "$0")/lib.sh"
start_xvfb
make_workdir
rm "$WORKDIR/resources/fonts/echolot/ECHOLOT_.TTF"

run_briefly() {
  (cd "$WORKDIR" && timeout 20 "$KINEMORPH" </dev/null >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr")
}

run_briefly; status=$?
[ "$status" -eq 0 ] || fail "font missing: status $status"
# Exactly three lines, in this order.
[ "$(wc -l <"$E2E_TMP/stdout")" -eq 3 ] || fail "expected three lines"
[ "$(sed -n 1p "$E2E_TMP/stdout")" = "Error: Could not initialize fonts!" ] || fail "font line missing"
sed -n 2p "$E2E_TMP/stdout" | grep -q '^OpenGL Ver.: .' || fail "version line missing"
[ "$(tail -n 1 "$E2E_TMP/stdout")" = "Game could not start..." ] || fail "no failed-start line"
pass "missing font fails cleanly"

unset DISPLAY
run_briefly; status=$?
[ "$status" -eq 0 ] || fail "no display: status $status"
grep -q 'Error Initializing GLEW!' "$E2E_TMP/stdout" || fail "no GLEW line without a display"
[ "$(tail -n 1 "$E2E_TMP/stdout")" = "Game could not start..." ] || fail "no failed-start line"
pass "no display fails cleanly"
