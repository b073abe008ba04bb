#!/usr/bin/env bash
# Sets up the machine, builds the three builds and runs every build's tests: natively, and under
# Wine for the two Windows builds, all inside one virtual X display.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/setup.sh || exit 1
bash scripts/build.sh --no-setup || exit 1

display_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$display_file" >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do [ -s "$display_file" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$display_file")"
cleanup() {
  for prefix in "$root"/build/win64/wineprefix "$root"/build/win32/wineprefix; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
  done
  kill "$xvfb_pid" >/dev/null 2>&1
  rm -f "$display_file"
}
trap cleanup EXIT

status=0
for preset in linux win64 win32; do
  echo "=== tests: $preset"
  ctest --preset "$preset" || status=1
done
exit $status
