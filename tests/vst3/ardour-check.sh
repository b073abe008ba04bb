#!/usr/bin/env bash
# Ardour 7 without its window (ardour7-lua, dummy audio backend) loads the VST 3 bundle from a
# copy after its own scanner has seen it: free delays echo at their times, synchronised ones at
# the session's tempo, automation of "Enabled" plays, and after a save and a reopening in a new
# process the plug-in's state is restored, its parameters read the same and the render is the
# same (check-renders.py says to what precision).
#   ardour-check.sh BUNDLE_FOLDER
set -uo pipefail
bundle=${1:?usage: ardour-check.sh BUNDLE_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
[ -n "${MORLENT_KEEP:-}" ] && echo "work: $work" || trap 'rm -rf "$work"' EXIT

mkdir -p "$work/vst3" "$work/home/config/ardour7/scripts" "$work/home/config/ardour7/export" "$work/home/cache" \
  "$work/renders"
cp -r "$bundle" "$work/vst3/"
# Ardour trusts its scanner's cache only when the cache is newer than the module; a copy made in
# the same second as the scan would make the plug-in vanish at random.
find "$work/vst3" -exec touch -d '1 minute ago' {} +
cp "$here/ardour/morlent_test_clicks.lua" "$work/home/config/ardour7/scripts/"
cp "$here/ardour/morlent-vst3-check.preset" "$work/home/config/ardour7/export/"
export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_CACHE_HOME=$work/home/cache
export VST3_PATH=$work/vst3
export MORLENT_LUA_DIR=$here/ardour MORLENT_SESSION_DIR=$work/session MORLENT_RENDER_DIR=$work/renders
# Ardour's denormal handling crashes at random on CPUs with AVX-512 unless told which flags to use.
if grep -qw avx512f /proc/cpuinfo; then
  export ARDOUR_FPU_FLAGS=95
fi

# Ardour lists a VST 3 bundle only once its scanner has written the bundle into its cache.
if ! LD_LIBRARY_PATH=/usr/lib/ardour7 timeout -k 10 60 /usr/lib/ardour7/ardour-vst3-scanner -f "$work/vst3/$(basename "$bundle")" >"$work/scan.log" 2>&1; then
  echo "ardour check: the scanner failed:"
  tail -20 "$work/scan.log"
  exit 1
fi
grep -i "morlent" "$work/scan.log" | head -5

run() { # script, the line it prints when it got to its end
  timeout -k 10 180 ardour7-lua "$here/ardour/$1" >"$work/$1.log" 2>&1
  local status=$?
  grep -E '^(new|saved|reopened) param|^FAILED' "$work/$1.log"
  if ! grep -qx "$2" "$work/$1.log"; then
    echo "ardour check: $1 did not finish (status $status):"
    tail -20 "$work/$1.log"
    exit 1
  fi
}
run create.lua created
run reopen.lua reopened
grep -q 'Morlent Delay' "$work"/session/morlent.ardour && grep -q 'type="vst3" unique-id="5653544D446C796D6F726C656E742064"' "$work"/session/morlent.ardour ||
  { echo "ardour check: the session holds no VST 3 plug-in under the class ID made from the VST 2 ID"; exit 1; }
exec /usr/bin/python3 "$here/ardour/check-renders.py" "$work/renders" "$work/create.lua.log" "$work/reopen.lua.log"
