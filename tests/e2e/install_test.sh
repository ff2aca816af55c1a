#!/usr/bin/env bash
# Kinemorph as a new user meets it: installed with `cmake --install` into a
# prefix that is then moved, started from an empty folder with a fresh HOME
# on a file named on the command line. The animations folder is made with
# the samples in it; Insert and Ctrl+S write the file back where it was,
# its old version beside it as .bak; nothing lands in the empty folder. The
# installed exporter finds the installed skeleton from anywhere too.
# Expects BUILD_DIR (the build to install) besides what lib.sh needs.
source "$(dirname "$0")/lib.sh"
: "${BUILD_DIR:?}"

PREFIX=$E2E_TMP/moved-prefix
cmake --install "$BUILD_DIR" --prefix "$E2E_TMP/prefix" >"$E2E_TMP/install.log" 2>&1 ||
  fail "cmake --install: $(tail -n 3 "$E2E_TMP/install.log")"
mv "$E2E_TMP/prefix" "$PREFIX"
for path in bin/kinemorph bin/kinemorph-export share/kinemorph/config/settings.ini \
  share/kinemorph/fonts/lacuna/LACURG__.TTF share/applications/kinemorph.desktop \
  share/mime/packages/kinemorph.xml share/icons/hicolor/256x256/apps/kinemorph.png \
  share/man/man1/kinemorph.1.gz; do
  [ -e "$PREFIX/$path" ] || fail "the install lacks $path"
done
pass "installed and moved to another prefix"

EMPTY=$E2E_TMP/empty
DOCS=$E2E_TMP/documents
export HOME=$E2E_TMP/home
unset XDG_CONFIG_HOME XDG_DATA_HOME
mkdir -p "$EMPTY" "$DOCS" "$HOME"
USER_ANIMATIONS=$HOME/.local/share/kinemorph/animations

(cd "$EMPTY" && "$PREFIX/bin/kinemorph" --version) | grep -q '^Kinemorph [0-9]' ||
  fail "--version does not say Kinemorph and the version"
status=0
(cd "$EMPTY" && "$PREFIX/bin/kinemorph" --no-such-option) 2>/dev/null || status=$?
[ "$status" -eq 2 ] || fail "an unknown option gives status $status, not 2"

# The user's own animation, in a folder of their own, with a blank in its name.
FILE="$DOCS/hop and skip.rgaf"
cp "$PREFIX/share/kinemorph/config/skeleton/animations/jump.rgaf" "$FILE"
ORIGINAL=$(cat "$FILE")
FRAMES=$(sed -n 3p "$FILE")

start_xvfb
(cd "$EMPTY" && exec "$PREFIX/bin/kinemorph" "$FILE" </dev/null >"$E2E_TMP/stdout" 2>"$E2E_TMP/stderr") &
APP_PID=$!
wait_window
[ -f "$USER_ANIMATIONS/walk.rgaf" ] || fail "no animations folder with the samples in $USER_ANIMATIONS"
pass "started from an empty folder; the animations folder has the samples"

key Insert
key ctrl+s
saved() { [ "$(sed -n 3p "$FILE")" = $((FRAMES + 1)) ]; }
wait_for 10 saved || fail "Ctrl+S did not write the new frame into $FILE"
[ "$(cat "$FILE.bak")" = "$ORIGINAL" ] || fail "$FILE.bak does not hold the version Ctrl+S replaced"
status=0
close_app 20 || status=$?
[ "$status" -eq 0 ] || fail "exit status $status after closing"
[ -z "$(ls -A "$EMPTY")" ] || fail "the program wrote into the working folder: $(ls -A "$EMPTY")"
left=$(cd "$USER_ANIMATIONS" && ls autosave*.rgaf 2>/dev/null)
[ -z "$left" ] || fail "saved work was left as an autosave too: $left"
pass "Insert, Ctrl+S: the file and its .bak where they belong"

(cd "$EMPTY" && "$PREFIX/bin/kinemorph-export" "$USER_ANIMATIONS/walk.rgaf" -o walk.bvh) \
  >"$E2E_TMP/export.log" 2>&1 || fail "the installed exporter: $(cat "$E2E_TMP/export.log")"
head -n 1 "$EMPTY/walk.bvh" | grep -q HIERARCHY || fail "the installed exporter wrote no BVH"
pass "the installed exporter finds the installed skeleton"
