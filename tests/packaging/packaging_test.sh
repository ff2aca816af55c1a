#!/usr/bin/env bash
# The files that make Kinemorph a desktop program, checked with the
# desktop's own tools: the menu entry, the file type (by name and by its
# first line), the manual pages, the icons, and the Debian package with its
# control fields and contents (and lintian's verdict, where it is
# installed). Expects SOURCE_DIR, BUILD_DIR and VERSION in the environment.
set -u
: "${SOURCE_DIR:?}" "${BUILD_DIR:?}" "${VERSION:?}"
tmp=$(mktemp -d /tmp/kinemorph-packaging.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
pass() { echo "ok: $* (${SECONDS}s)"; }
pkg=$SOURCE_DIR/packaging
TYPE=application/x-kinemorph-animation

out=$(desktop-file-validate "$pkg/kinemorph.desktop" 2>&1) || fail "desktop entry: $out"
grep -qx 'Exec=kinemorph %f' "$pkg/kinemorph.desktop" || fail "desktop entry does not pass the file"
grep -q "^MimeType=$TYPE;" "$pkg/kinemorph.desktop" || fail "desktop entry does not claim $TYPE"
pass "desktop entry"

# The file type as the desktop's database compiles it: the glob and the
# magic first line.
mkdir -p "$tmp/mime/packages"
cp "$pkg/kinemorph-mime.xml" "$tmp/mime/packages/kinemorph.xml"
update-mime-database "$tmp/mime" >/dev/null 2>"$tmp/mime.err" || fail "mime: $(cat "$tmp/mime.err")"
grep -q '^[0-9]*:'"$TYPE"':\*\.rgaf$' "$tmp/mime/globs2" || fail "no *.rgaf glob for $TYPE"
LC_ALL=C grep -aq "$TYPE"'\]' "$tmp/mime/magic" || fail "no magic for $TYPE"
LC_ALL=C grep -aq 'RGAF' "$tmp/mime/magic" || fail "the magic does not look for RGAF"
pass "file type"

for page in "$pkg"/man/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
pass "manual pages"

for size in 48 128 256; do
  got=$(identify -format '%wx%h' "$pkg/icons/kinemorph-$size.png" 2>/dev/null)
  [ "$got" = "${size}x$size" ] || fail "icon kinemorph-$size.png is $got"
done
xmllint --noout "$pkg/icons/kinemorph.svg" || fail "the scalable icon is not well-formed"
pass "icons"

# The package, made from this build into a folder of its own.
(cd "$BUILD_DIR" && cpack -G DEB -B "$tmp/deb" >"$tmp/cpack.log" 2>&1) ||
  fail "cpack: $(tail -n 5 "$tmp/cpack.log")"
deb=$tmp/deb/kinemorph_${VERSION}_amd64.deb
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$tmp/deb")"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = kinemorph ] || fail "Package is $(field Package)"
[ "$(field Version)" = "$VERSION" ] || fail "Version is $(field Version)"
[ "$(field Architecture)" = amd64 ] || fail "Architecture is $(field Architecture)"
field Depends | grep -q 'libsfml-window' || fail "Depends lacks SFML: $(field Depends)"
field Depends | grep -q 'libc6' || fail "Depends lacks libc6: $(field Depends)"
dpkg-deb -c "$deb" | awk '{print $NF}' >"$tmp/contents"
for path in ./usr/bin/kinemorph ./usr/bin/kinemorph-export \
  ./usr/share/kinemorph/config/skeleton/default.rgcf \
  ./usr/share/kinemorph/config/skeleton/animations/walk.rgaf \
  ./usr/share/applications/kinemorph.desktop ./usr/share/mime/packages/kinemorph.xml \
  ./usr/share/icons/hicolor/48x48/apps/kinemorph.png ./usr/share/icons/hicolor/scalable/apps/kinemorph.svg \
  ./usr/share/man/man1/kinemorph.1.gz ./usr/share/man/man1/kinemorph-export.1.gz \
  ./usr/share/doc/kinemorph/copyright; do
  grep -qxF "$path" "$tmp/contents" || fail "the package lacks $path"
done
grep -q '^\./usr/local' "$tmp/contents" && fail "the package installs under /usr/local"
pass "package $(basename "$deb"), $(($(stat -c %s "$deb") / 1024)) KiB"

if command -v lintian >/dev/null 2>&1; then
  lintian --no-tag-display-limit "$deb" >"$tmp/lintian" 2>&1
  grep '^E:' "$tmp/lintian" && fail "lintian reports errors"
  pass "lintian: no errors ($(grep -c '^W:' "$tmp/lintian") warnings)"
fi
