# Helpers for the robustness runs, on top of the end-to-end helpers.
# Source it; besides what tests/e2e/lib.sh expects, the CTest registration
# sets LAYOUT_PROBE, CHECK_ANIMATION and PROJECT_BONE.
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/lib.sh"

ANIMATIONS_DIR=resources/config/skeleton/animations

# Number of sanitizer reports (ASan, LSan, UBSan) in a file of output.
sanitizer_reports() {
  grep -cE '^==[0-9]+==(ERROR|WARNING): [A-Za-z]+Sanitizer|runtime error:|^SUMMARY: [A-Za-z]+Sanitizer' "$1"
}

# Fails when the program's standard error holds a sanitizer report.
no_sanitizer_report() {
  [ "$(sanitizer_reports "$E2E_TMP/stderr")" -eq 0 ] || fail "sanitizer report $1"
}

# Resident memory of a process in kB, from /proc/<pid>/status.
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }

# Reads the editor's targets for a window of W x H ($1 x $2) into the
# associative arrays AT (id -> "x y") and OWNER (id -> its floating window),
# and the lists BUTTONS, FIELDS and TITLES (ids). A window's title bar is the
# id "title:<window>", in the middle of the strip above the window's top.
declare -A AT OWNER
BUTTONS=() FIELDS=() TITLES=()
read_targets() {
  local id x y left top width height kind window
  AT=() OWNER=() BUTTONS=() FIELDS=() TITLES=()
  while read -r id x y left top width height kind window; do
    # Only the floating windows' components: not the top dock or the pages.
    [ "$window" = - ] && continue
    OWNER[$id]=$window
    AT[$id]="$x $y"
    case $kind in
      B) BUTTONS+=("$id") ;;
      E) FIELDS+=("$id") ;;
      W) TITLES+=("$id"); AT["title:$id"]="$x $((top - TITLE_BAR_HEIGHT / 2))" ;;
    esac
  done < <(cd "$WORKDIR" && "$LAYOUT_PROBE" "$1" "$2")
  [ ${#BUTTONS[@]} -gt 10 ] || fail "no targets from layout_probe"
}
TITLE_BAR_HEIGHT=17

# Left click on the editor target $1 (an id from read_targets).
click_target() {
  local xy=${AT[$1]:-}
  [ -n "$xy" ] || fail "no target $1"
  # shellcheck disable=SC2086
  click_at $xy
}
