#!/usr/bin/env bash
# Sets up the machine and builds the native Linux build and both Windows builds.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "${1:-}" = --no-setup ] || bash scripts/setup.sh
for preset in linux win64 win32; do
  echo "=== build: $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$(nproc)"
done
