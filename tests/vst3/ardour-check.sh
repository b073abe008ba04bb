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
. "$here/../ardour/check.sh"
export MORLENT_PLUGIN="Morlent Delay" MORLENT_FOUND_BY=name MORLENT_CONTROL=param

ardour_prepare "$bundle" vst3
# Ardour trusts its scanner's cache only when the cache is newer than the module; a copy made in
# the same second as the scan would make the plug-in vanish at random.
find "$work/vst3" -exec touch -d '1 minute ago' {} +
export VST3_PATH=$work/vst3

# Ardour lists a VST 3 bundle only once its scanner has written the bundle into its cache.
if ! LD_LIBRARY_PATH=/usr/lib/ardour7 timeout -k 10 60 /usr/lib/ardour7/ardour-vst3-scanner -f "$work/vst3/$(basename "$bundle")" >"$work/scan.log" 2>&1; then
  echo "ardour check: the scanner failed:"
  tail -20 "$work/scan.log"
  exit 1
fi
grep -i "morlent" "$work/scan.log" | head -5

ardour_run "$here/ardour/create.lua" created 180
ardour_run "$shared/reopen.lua" reopened 180
grep -q 'Morlent Delay' "$work"/session/morlent.ardour && grep -q 'type="vst3" unique-id="5653544D446C796D6F726C656E742064"' "$work"/session/morlent.ardour ||
  { echo "ardour check: the session holds no VST 3 plug-in under the class ID made from the VST 2 ID"; exit 1; }
/usr/bin/python3 "$here/ardour/check-renders.py" "$work/renders" "$work/create.lua.log" "$work/reopen.lua.log"
