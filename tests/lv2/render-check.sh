#!/usr/bin/env bash
# lv2apply (no host features, 1-frame blocks) renders the demo through a copy of the bundle with
# nothing else on LV2_PATH, and the output equals the VST 2 module's render of the same settings
# at 1-frame blocks, bit for bit. The settings' normalised values have exact squares, so the port
# values in display units stand for exactly the values the VST 2 host sets.
#   render-check.sh MORLENT_HOST VST2_MODULE BUNDLE_FOLDER
set -uo pipefail
host=$1 module=$2 bundle=$3
here=$(cd "$(dirname "$0")" && pwd)
uri=https://www.example.com/lv2/morlent-delay
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/lv2" && cp -r "$bundle" "$work/lv2/"

# The demo itself: the module bypassed passes its input through untouched.
"$host" render "$module" "$work/demo.wav" --param 0=0 >/dev/null || exit 1

failures=0
compare() { # label, VST 2 parameters, LV2 controls
  local label=$1 parameters=$2 controls=$3
  # shellcheck disable=SC2086
  "$host" render "$module" "$work/demo.wav" "$work/vst2.wav" --block 1 $parameters >/dev/null || exit 1
  # shellcheck disable=SC2086
  LV2_PATH=$work/lv2 timeout -k 5 120 lv2apply -i "$work/demo.wav" -o "$work/lv2.wav" $controls "$uri" || {
    echo "render check: $label: lv2apply failed"
    failures=$((failures + 1))
    return
  }
  if result=$(/usr/bin/python3 "$here/compare-wav.py" "$work/vst2.wav" "$work/lv2.wav"); then
    # A render equal to its input would prove nothing.
    if /usr/bin/python3 "$here/compare-wav.py" "$work/demo.wav" "$work/lv2.wav" >/dev/null 2>&1; then
      echo "render check: $label: the render is the demo itself"
      failures=$((failures + 1))
    else
      echo "render check: $label: $result"
    fi
  else
    echo "render check: $label: FAILED: $result"
    failures=$((failures + 1))
  fi
}
compare "delays, feedback, high-pass, ping-pong" \
  "--param 1=0.5 --param 2=0.75 --param 6=0.75 --param 7=1 --param 8=0.25 --param 9=1 --param 10=1 --param 11=0.75" \
  "-c left_delay 0.25 -c right_delay 0.5625 -c feedback 0.5625 -c filter 1 -c cutoff 643.75 -c filter_type 1 -c pan 1 -c mix 50"
compare "synchronised 1/32 and 1/2, low-pass" \
  "--param 3=1 --param 4=0.1 --param 5=0.9 --param 6=0.5 --param 7=1 --param 11=0.25" \
  "-c sync 1 -c left_sync 0 -c right_sync 4 -c feedback 0.25 -c filter 1 -c mix -50"
[ $failures -eq 0 ]
