#!/usr/bin/env bash
# Installs the Debian packages Kinemorph needs to build, run and test.
# Idempotent: when everything is already there it only runs dpkg-query
# and checks the validator's folder.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  libsfml-dev libglew-dev libftgl-dev libfreetype-dev libglu1-mesa-dev
  libgl1-mesa-dev libgl1-mesa-dri libimath-dev libopenal-dev libx11-dev
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  nlohmann-json3-dev
  libavcodec-dev libavformat-dev libavutil-dev libswscale-dev libavfilter-dev
  libegl-dev libegl-mesa0 desktop-file-utils
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
# The glTF validator of the export tests runs on Node.js; a machine may
# already have its own Node.js from elsewhere, so only ask apt when not.
if ! command -v node >/dev/null 2>&1; then missing+=(nodejs); fi
if ! command -v npm >/dev/null 2>&1; then missing+=(npm); fi

if [ ${#missing[@]} -ne 0 ]; then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# One retry: the registry is reached over the network.
bash "$(dirname "$0")/gltf-validator/install.sh" || bash "$(dirname "$0")/gltf-validator/install.sh"
