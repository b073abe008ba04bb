#!/usr/bin/env bash
# Ardour 7 without its window (ardour7-lua, dummy audio backend) loads the bundle from a copy by
# its URI: free delays echo at their times, synchronised ones at the session's tempo (a 1/8 at
# 120 BPM 250 ms after the click), the host's bypass reaches the enable port, and after a save
# and a reopening in a new process the plug-in's state is restored without complaint, the ports
# read the same and the render is the same (check-renders.py says to what precision).
#   ardour-check.sh BUNDLE_FOLDER
set -uo pipefail
bundle=${1:?usage: ardour-check.sh BUNDLE_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/lv2" "$work/home/config/ardour7/scripts" "$work/home/config/ardour7/export" "$work/home/cache" \
  "$work/renders"
cp -r "$bundle" "$work/lv2/"
cp "$here/ardour/morlent_test_clicks.lua" "$work/home/config/ardour7/scripts/"
cp "$here/ardour/morlent-check.preset" "$work/home/config/ardour7/export/"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_CACHE_HOME=$work/home/cache
export LV2_PATH=$work/lv2:/usr/lib/lv2
export MORLENT_LUA_DIR=$here/ardour MORLENT_SESSION_DIR=$work/session MORLENT_RENDER_DIR=$work/renders
# Ardour's denormal handling crashes at random on CPUs with AVX-512 unless told which flags to use.
if grep -qw avx512f /proc/cpuinfo; then
  export ARDOUR_FPU_FLAGS=95
fi

run() { # script, the line it prints when it got to its end
  timeout -k 10 120 ardour7-lua "$here/ardour/$1" >"$work/$1.log" 2>&1
  local status=$?
  grep -E '^(new|saved|reopened|bypassed) port|^FAILED' "$work/$1.log"
  if ! grep -qx "$2" "$work/$1.log"; then
    echo "ardour check: $1 did not finish (status $status):"
    tail -20 "$work/$1.log"
    exit 1
  fi
}
run create.lua created
run reopen.lua reopened
if ! grep -qs 'morlent-delay#bank' "$work"/session/plugins/*/state*/state.ttl; then
  echo "ardour check: the session holds no saved state of the plug-in"
  exit 1
fi
if grep -q 'Morlent Delay:' "$work/reopen.lua.log"; then
  echo "ardour check: the plug-in refused the saved state:"
  grep 'Morlent Delay:' "$work/reopen.lua.log"
  exit 1
fi
exec /usr/bin/python3 "$here/ardour/check-renders.py" "$work/renders" "$work/create.lua.log" "$work/reopen.lua.log"
