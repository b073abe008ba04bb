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
. "$here/../ardour/check.sh"
export MORLENT_PLUGIN=https://www.example.com/lv2/morlent-delay MORLENT_FOUND_BY=unique_id MORLENT_CONTROL=port

ardour_prepare "$bundle" lv2
export LV2_PATH=$work/lv2:/usr/lib/lv2
ardour_run "$here/ardour/create.lua" created 120
ardour_run "$shared/reopen.lua" reopened 120
if ! grep -qs 'morlent-delay#bank' "$work"/session/plugins/*/state*/state.ttl; then
  echo "ardour check: the session holds no saved state of the plug-in"
  exit 1
fi
if grep -q 'Morlent Delay:' "$work/reopen.lua.log"; then
  echo "ardour check: the plug-in refused the saved state:"
  grep 'Morlent Delay:' "$work/reopen.lua.log"
  exit 1
fi
/usr/bin/python3 "$here/ardour/check-renders.py" "$work/renders" "$work/create.lua.log" "$work/reopen.lua.log"
