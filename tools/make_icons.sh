#!/usr/bin/env bash
# Renders the application icon packaging/icons/kinemorph.svg to the PNG
# sizes desktops look for (48, 128 and 256 pixels), kept beside it in the
# repository. Needs rsvg-convert (Debian package librsvg2-bin); run it again
# after changing the drawing.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 48 128 256; do
  rsvg-convert --width "$size" --height "$size" kinemorph.svg -o "kinemorph-$size.png"
done
