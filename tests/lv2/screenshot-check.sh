#!/usr/bin/env bash
# morlent-host's screenshot of the LV2 bundle's editor, on a virtual display of this run's own:
# at the main job's settings it is the very picture the Linux VST 2 module's editor gives, the
# settings reach it (the default picture differs), and what it cannot show is refused.
#   screenshot-check.sh MORLENT_HOST VST2_MODULE BUNDLE_FOLDER
set -uo pipefail
host=$1 module=$2 bundle=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
. "$here/../../scripts/virtual-display.sh"
trap 'stop_virtual_display; rm -rf "$work"' EXIT
start_virtual_display || exit 1
cp -r "$bundle" "$work/"
copy=$work/$(basename "$bundle")

settings=(--param 1=0.6 --param 2=0.35 --param 3=1 --param 4=0.7 --param 5=0.95 --param 6=0.55 --param 7=1
  --param 8=0.8 --param 9=1 --param 10=1 --param 11=0.3)
failures=0
fail() { echo "screenshot check: FAILED: $1"; failures=$((failures + 1)); }
"$host" screenshot "$copy" "$work/lv2.png" "${settings[@]}" || fail "the LV2 editor's screenshot"
"$host" screenshot "$module" "$work/vst2.png" "${settings[@]}" || fail "the VST 2 editor's screenshot"
"$host" screenshot "$copy" "$work/lv2-default.png" || fail "the LV2 editor's screenshot at its defaults"
/usr/bin/python3 - "$work" <<'PYTHON' || failures=$((failures + 1))
import sys
from PIL import Image
work = sys.argv[1]
lv2, vst2, default = (Image.open(f"{work}/{name}.png").convert("RGB") for name in ("lv2", "vst2", "lv2-default"))
problems = []
if lv2.size != (496, 344):
    problems.append(f"the LV2 editor is {lv2.size}, not 496 x 344")
if len(set(lv2.getdata())) < 1000:
    problems.append("the LV2 editor's picture is nearly blank")
if lv2.tobytes() != vst2.tobytes():
    problems.append("the LV2 and VST 2 editors differ at the same settings")
if lv2.tobytes() == default.tobytes():
    problems.append("the settings did not reach the LV2 editor")
for problem in problems:
    print(f"screenshot check: FAILED: {problem}")
if not problems:
    print("screenshot check: the LV2 editor shows the VST 2 editor's picture at the same settings")
sys.exit(1 if problems else 0)
PYTHON

# Refusals: programs (the host's presets, which need the plug-in), parameters it lacks, a bundle
# without the editor's binary.
refused() { # label, expected message, command...
  local label=$1 message=$2
  shift 2
  local output
  if output=$("$@" 2>&1); then
    fail "$label: not refused"
  elif ! grep -qF "$message" <<<"$output"; then
    fail "$label: refused with '$output'"
  fi
}
refused "a program" "takes --param only" "$host" screenshot "$copy" "$work/x.png" --program 2
refused "parameter 12" "parameter 12 does not exist" "$host" screenshot "$copy" "$work/x.png" --param 12=0.5
rm "$copy/MorlentDelay_ui.so"
refused "no editor's binary" "holds no MorlentDelay_ui.so" "$host" screenshot "$copy" "$work/x.png"
[ ! -e "$work/x.png" ] || fail "a refused screenshot left a file"
[ $failures -eq 0 ]
