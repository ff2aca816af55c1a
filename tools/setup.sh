#!/usr/bin/env bash
# Installs the Debian packages Kinemorph needs to build, run and test.
# Idempotent: when every package is already there it only runs dpkg-query.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsfml-dev libglew-dev libftgl-dev libfreetype-dev libglu1-mesa-dev
  libgl1-mesa-dev libgl1-mesa-dri libimath-dev libopenal-dev libx11-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  xvfb xdotool imagemagick x11-utils
  clang libclang-rt-dev valgrind
  sox vorbis-tools fonts-dejavu-core
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
