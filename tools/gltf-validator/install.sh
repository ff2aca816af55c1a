#!/usr/bin/env bash
# Installs the Khronos glTF validator (npm package gltf-validator, pinned by
# package-lock.json) into this folder for the export tests. Does nothing when
# it is already installed, or when Node.js or npm is missing (the tests that
# need it then skip).
set -euo pipefail
cd "$(dirname "$0")"

if [ -f node_modules/gltf-validator/package.json ]; then
  exit 0
fi
if ! command -v node >/dev/null 2>&1 || ! command -v npm >/dev/null 2>&1; then
  echo "gltf-validator: node or npm not found; the glTF validation tests will be skipped"
  exit 0
fi
echo "gltf-validator: installing with npm"
npm ci --no-audit --no-fund --loglevel=error
