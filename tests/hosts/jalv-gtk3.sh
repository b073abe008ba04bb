#!/usr/bin/env bash
# jalv.gtk3, under the session harness, runs the LV2 bundle on the harness's JACK server and shows
# its UI: our X11 UI embedded by suil in GTK 3 where the bundle declares one, jalv's generic
# controls otherwise. The window is awaited, painted, and saved as a screenshot; a drag with real
# input on a knob of our face then moves the plug-in's port, read back from a preset jalv saves;
# jalv quits from its File menu's shortcut (Ctrl+Q) and the check ends by looking for our
# editor's face in the screenshot.
#   jalv-gtk3.sh [BUNDLE [REFERENCE]]
# BUNDLE defaults to build/linux/lv2/MorlentDelay.lv2, REFERENCE to build/outputs/editor-linux.png.
# The screenshot goes to build/outputs/hosts/jalv-gtk3.png (or MORLENT_HOST_OUTPUTS).
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/session.sh"
session_isolate "$@"
bundle=$(realpath "${1:-$session_root/build/linux/lv2/MorlentDelay.lv2}")
reference=${2:-$session_root/build/outputs/editor-linux.png}
outputs=${MORLENT_HOST_OUTPUTS:-$session_root/build/outputs/hosts}
screenshot=$outputs/jalv-gtk3.png
# A face that is drawn after its window is awaited this long before the screenshot is final.
face_seconds=10
started=$SECONDS

step() {
  printf 'jalv-gtk3: %s (%d s)\n' "$1" $((SECONDS - started))
}
fail() {
  echo "jalv-gtk3: FAILED: $1" >&2
  if [ -n "$session_run" ] && [ -f "$session_run/jalv.log" ]; then
    echo "--- what jalv printed:" >&2
    tail -n 40 "$session_run/jalv.log" >&2
  fi
  exit 1
}

[ -f "$bundle/manifest.ttl" ] || { echo "jalv-gtk3: no bundle $bundle" >&2; exit 1; }
session_begin jalv-gtk3 || exit 1
mkdir -p "$outputs"
rm -f "$screenshot" "$outputs/jalv-gtk3-face.png"
session_start_display || fail "no display"
session_start_jack || fail "no JACK server"
step "display $DISPLAY and JACK server $JACK_DEFAULT_SERVER up"

# The bundle's folder holds the bundle alone (the build folder beside it has other files that
# lilv would try to read as bundles), then the system's bundles.
mkdir -p "$session_run/lv2"
ln -s "$bundle" "$session_run/lv2/"
export LV2_PATH=$session_run/lv2:/usr/lib/lv2
uri=$(LV2_PATH=$session_run/lv2 lv2ls)
[ "$(grep -c . <<<"$uri")" -eq 1 ] || fail "expected one plug-in in $bundle, found: $uri"

# GTK's file dialog keeps its settings in memory, not in a dconf service the session has none of.
export GSETTINGS_BACKEND=memory
# jalv names its window after the plug-in.
session_arm_window mapped --class '^[Jj]alv\.gtk3$' --name "^$(session_effect_name)" --painted --timeout 30 ||
  fail "no window waiter"
session_start jalv jalv.gtk3 --jack-name "morlent-jalv-$$" --exact-jack-name --print-controls "$uri"
jalv_pid=$session_pid
session_armed_window 35 || fail "jalv's window did not appear"
read -r window x y width height _ <<<"$session_window"
step "jalv shows $uri in $window (${width}x$height at $x,$y); $(grep -m 1 '^UI:' "$session_run/jalv.log" | tr -s ' ')"

# suil maps our UI inside jalv's window after the window itself.
session_screenshot_face "$window" "$face_seconds" "$screenshot" "$reference"
[ -f "$screenshot" ] || fail "no screenshot of $window"
step "screenshot: $screenshot"

# A drag on the Right Delay knob, with real input where the face shows: the plug-in's port follows.
# jalv prints no input port's value, but saves them all in a preset: its Presets menu, from the
# keyboard, then the dialog's name field.
if [ -f "$reference" ]; then
  face=$(/usr/bin/python3 "$here/find-face.py" "$screenshot" "$reference") ||
    fail "our editor's face is not in the screenshot, so there is nothing to drag"
  read -r face_x face_y < <(sed -nE 's/.*the face is at ([0-9]+),([0-9]+).*/\1 \2/p' <<<"$face")
  knob_x=$((x + face_x + 123 + 16)) knob_y=$((y + face_y + 139 + 16))
  xdotool mousemove "$knob_x" "$knob_y" mousedown 1 mousemove "$knob_x" $((knob_y - 10)) \
    mousemove "$knob_x" $((knob_y - 20)) mouseup 1
  # The knob's new frame on the screen says the editor took the drag and wrote its port.
  session_wait_until "$window" 10 bash -c \
    'import -window "$1" "$2.drag.png" && ! /usr/bin/python3 "$3" "$2.drag.png" "$4" --quiet' moved "$window" \
    "$session_run/face" "$here/find-face.py" "$reference" || fail "the knob did not move under the drag"
  step "dragged the Right Delay knob 20 pixels up"
  session_arm_window mapped --name '^Save Preset$' --painted --timeout 20 || fail "no window waiter"
  xdotool windowfocus "$window" key F10 Right Down Return
  session_armed_window 25 || fail "jalv's Save Preset dialog did not appear"
  read -r dialog dialog_x dialog_y _ <<<"$session_window"
  xdotool mousemove $((dialog_x + 200)) $((dialog_y + 27)) click 1 type dragged
  # GTK enables the dialog's Save button (bottom right) once it has seen the name: its label turns
  # from grey to dark. Return before that saves nothing.
  session_wait_until "$dialog" 10 bash -c 'import -window "$1" "$2" && /usr/bin/python3 -c "
import sys
from PIL import Image
picture = Image.open(sys.argv[1]).convert(\"L\")
w, h = picture.size
sys.exit(0 if min(picture.crop((w - 91, h - 37, w - 6, h - 12)).getdata()) < 100 else 1)" "$2"' \
    enabled "$dialog" "$session_run/dialog.png" || fail "the Save Preset dialog's Save button stayed disabled"
  xdotool key Return
  # jalv writes the preset as the dialog answers, before it takes the dialog away.
  session_waiter gone "$dialog" --timeout 20 || fail "the Save Preset dialog did not close"
  preset=$HOME/Morlent_Delay_dragged.preset.lv2/dragged.ttl
  [ -f "$preset" ] || fail "jalv saved no preset at $preset"
  value=$(grep -A1 'lv2:symbol "right_delay"' "$preset" | sed -nE 's/.*pset:value ([-0-9.e]+).*/\1/p')
  # 0.25 s at the default; 20 pixels up is 20 % more of the knob: 0.7 squared, 0.49 s.
  awk -v v="${value:-0}" 'BEGIN { exit !(v > 0.48 && v < 0.50) }' ||
    fail "the plug-in's right_delay port is '${value}' after the drag, not 0.49"
  step "the drag set the plug-in's right_delay port to $value"
fi

# The focus first, in the same request stream as the keys, so that the shortcut reaches the window.
xdotool windowfocus "$window" key ctrl+q
session_await_exit "$jalv_pid" 20
status=$?
[ $status -eq 0 ] || fail "jalv ended with status $status after Ctrl+Q"
step "jalv quit"

[ -f "$reference" ] || { echo "jalv-gtk3: FAILED: there is no reference picture $reference to look for our face with" >&2; exit 1; }
/usr/bin/python3 "$here/find-face.py" "$screenshot" "$reference" --diff "$outputs/jalv-gtk3-face.png" ||
  { echo "jalv-gtk3: FAILED: our editor's face is not in the screenshot" >&2; exit 1; }
step "passed"
