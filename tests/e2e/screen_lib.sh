# Screen helpers for end-to-end scripts that drive the editor by its
# components' places: pointer actions in one xdotool run each (every process
# start is slow on a loaded machine) and image checks in one ImageMagick run
# each. Source it after lib.sh. A script defines at(), which sets X Y (the
# centre) and L T CW CH (the rectangle) of a component in window pixels
# from the top-left; place_of (lib.sh) is the plain one.
# Sets BOX to the crop geometry of a component's rectangle, shrunk by $2
# pixels each way.
box() {
  local m=${2:-0}
  at "$1"
  BOX="$((CW - 2 * m))x$((CH - 2 * m))+$((L + m))+$((T + m))"
}
# Where the pointer rests between actions: empty sky, away from every
# window, so no button glows under it.
PARK=(mousemove --window WID 760 110)
park_args() { PARK[2]=$WID; }
# A left click on a component, then the pointer back to rest; one xdotool
# run, as every process start is slow on a loaded machine. Nothing is waited
# for here: the checks that follow poll for the effect.
press_button() {
  at "$1"
  park_args
  xdotool mousemove --window "$WID" "$X" "$Y" click 1 "${PARK[@]}"
}
# Holds the left button on a component for $2 seconds and lets go there,
# or, with a third argument "away", after moving off it to the rest place.
hold_button() {
  at "$1"
  park_args
  xdotool mousemove --window "$WID" "$X" "$Y" mousedown 1
  sleep "$2"
  if [ "${3:-}" = away ]; then
    xdotool "${PARK[@]}" mouseup 1
  else
    xdotool mouseup 1 "${PARK[@]}"
  fi
}
park() { park_args; xdotool "${PARK[@]}"; }
# Types into a text field: click it, clear what it holds, type. The events
# queue up in order, so the keys reach the field the click focused.
type_into() {
  at "$1"
  park_args
  xdotool mousemove --window "$WID" "$X" "$Y" click 1 \
    key --delay 40 BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace BackSpace \
    type --delay 80 "$2"
  xdotool "${PARK[@]}"
}
# Image checks, kept to one ImageMagick run each (every process start is
# slow on a loaded machine) and to per-channel operations (-fx per pixel is
# far slower).
COUNT='%[fx:int(mean*w*h+0.5)]'
# Filters that leave white exactly the pixels looked for:
# all drawn text is pure white;
WHITE=(-channel RGB -threshold 90% +channel -separate -evaluate-sequence min)
# a title bar's top two rows are the highlight colour (0.2, 0.7, 1) at about
# 95%, and its text the full highlight colour;
BAR=(-fuzz 7% -fill white -opaque 'rgb(48,168,240)' -fill black +opaque white)
GLYPH=(-fuzz 7% -fill white -opaque 'rgb(51,178,255)' -fill black +opaque white)
# the bar's gradient ends nearly black at the window's top edge.
DARK=(-channel RGB -threshold 10% +channel -separate -evaluate-sequence max -negate)
# Prints, one a line, how many pixels of image $1 pass each filter in its
# crop; the arguments after the image are pairs: WHITE|BAR|GLYPH|DARK, crop.
counts() {
  local img=$1 parts=()
  shift
  while [ $# -ge 2 ]; do
    parts+=("(" mpr:i -crop "$2" +repage)
    case $1 in
      WHITE) parts+=("${WHITE[@]}") ;;
      BAR) parts+=("${BAR[@]}") ;;
      GLYPH) parts+=("${GLYPH[@]}") ;;
      DARK) parts+=("${DARK[@]}") ;;
    esac
    parts+=(")")
    shift 2
  done
  convert "$img" -write mpr:i +delete "${parts[@]}" -format "$COUNT\n" info:
}
# White pixels that differ between images $1 and $2 inside crop $3: what a
# change of text looks like, blind to the glow of a hovered button and to
# the animated menu background.
text_diff() {
  convert "(" "$1" -crop "$3" +repage "${WHITE[@]}" ")" "(" "$2" -crop "$3" +repage "${WHITE[@]}" ")" \
    -compose difference -composite -format "$COUNT" info:
}

NOW="$E2E_TMP/now.png"
# Checks for wait_for, each on a fresh screenshot in $NOW.
text_differs() { shot "$NOW"; [ "$(text_diff "$1" "$NOW" "$2")" -gt "${3:-10}" ]; }
text_same() { shot "$NOW"; [ "$(text_diff "$1" "$NOW" "$2")" -le "${3:-2}" ]; }
pixels_differ() { shot "$NOW"; [ "$(diff_pixels "$1" "$NOW" "$2")" -gt "${3:-30}" ]; }
# The text in a crop, or every pixel of it, is the same in two screenshots
# in a row: typing has all arrived, a held change has ended.
settled() {
  cp "$NOW" "$E2E_TMP/before.png"
  shot "$NOW"
  [ "$(text_diff "$E2E_TMP/before.png" "$NOW" "$1")" -eq 0 ]
}
still() {
  cp "$NOW" "$E2E_TMP/before.png"
  shot "$NOW"
  [ "$(diff_pixels "$E2E_TMP/before.png" "$NOW" "$1")" -eq 0 ]
}
exited() { ! kill -0 "$APP_PID" 2>/dev/null; }
white_above() { shot "$NOW"; [ "$(counts "$NOW" WHITE "$1")" -gt "$2" ]; }
# A window's title bar: its top two rows lit from end to end and its bottom
# two rows dark (the floor has the bar's colours, but never both), and the
# rows where the title's glyphs stand out (drawn in the full highlight
# colour from 5 pixels above the window's top, where the bar's own gradient
# is still dark). Sets BAR_CHECKS to the filter and crop pairs for counts.
bar_checks() {
  at "$1"
  BAR_CHECKS=(BAR "$((CW - 6))x2+$((L + 3))+$((T - 17))" DARK "$((CW - 6))x2+$((L + 3))+$((T - 2))"
    GLYPH "$((CW - 2))x6+$((L + 1))+$((T - 11))")
  BAR_AREA=$(((CW - 6) * 2))
}
# Whether the counts of a bar's lit and dark rows say it is drawn.
bar_drawn() { [ "$1" -ge $((BAR_AREA * 9 / 10)) ] && [ "$2" -ge $((BAR_AREA * 9 / 10)) ]; }
window_shown() {
  local n
  bar_checks "$2"
  mapfile -t n < <(counts "$1" "${BAR_CHECKS[@]:0:4}")
  bar_drawn "${n[0]:-0}" "${n[1]:-0}"
}
window_hidden() { ! window_shown "$@"; }
shot_shows() { shot "$NOW"; window_shown "$NOW" "$1"; }
shot_hides() { shot "$NOW"; window_hidden "$NOW" "$1"; }
# Every window named shows its title bar with its title's text in it.
check_title_bars() {
  local img=$1 id checks=() n i=0
  shift
  for id in "$@"; do
    bar_checks "$id"
    checks+=("${BAR_CHECKS[@]}")
  done
  mapfile -t n < <(counts "$img" "${checks[@]}")
  for id in "$@"; do
    bar_checks "$id"
    bar_drawn "${n[i]:-0}" "${n[i + 1]:-0}" ||
      fail "$id: no title bar at ${BAR_CHECKS[1]} in $img (lit ${n[i]:-none}, dark ${n[i + 1]:-none} of $BAR_AREA)"
    [ "${n[i + 2]:-0}" -gt 15 ] || fail "$id: no title text at ${BAR_CHECKS[5]} in $img (${n[i + 2]:-none})"
    i=$((i + 3))
  done
}
# White text inside each component named.
check_texts() {
  local img=$1 id crops=() n i=0
  shift
  for id in "$@"; do
    box "$id"
    crops+=(WHITE "$BOX")
  done
  mapfile -t n < <(counts "$img" "${crops[@]}")
  for id in "$@"; do
    [ "${n[i]:-0}" -gt 8 ] || fail "$id: no text in ${crops[2 * i + 1]} in $img (${n[i]:-none} white pixels)"
    i=$((i + 1))
  done
}
