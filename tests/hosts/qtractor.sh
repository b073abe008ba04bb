# Sourced by qtractor-vst2.sh, qtractor-lv2.sh and qtractor-clap.sh: Qtractor, under the session
# harness, opens a session of the check's own making with one audio track that carries our
# plug-in, and opens the plug-in's editor as a user does, with a double click on the plug-in in
# the track's plug-in list. The editor's window is awaited, painted, and saved as a screenshot;
# Qtractor saves the session, which must have the plug-in on the track; Qtractor quits as asked,
# and the check ends by looking for our editor's face in the screenshot.
#
#   qtractor_check FORMAT TYPE REFERENCE
#
# TYPE is the plug-in element's type as Qtractor writes it; the check script defines
# qtractor_plugin, run once the run's folder exists, which sets qtractor_file to the element's
# file (for LV2 the plug-in's URI) and may set up what Qtractor needs to find it.
#
# Qtractor opens the plug-in's own editor where it has one and its generic parameter form
# otherwise (the plug-ins have no Linux editor yet); both have the title "PLUGIN - TRACK".
# Screenshots and what Qtractor saved go to build/outputs/hosts/ (or MORLENT_HOST_OUTPUTS).

. "$(dirname "${BASH_SOURCE[0]}")/session.sh"

qtractor_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
qtractor_track="Morlent Track"
qtractor_plugin_name=$(session_effect_name)
# A face that is drawn after its window is awaited this long before the screenshot is final.
qtractor_face_seconds=10

qtractor_step() {
  printf '%s: %s (%d s)\n' "$session_name" "$1" $((SECONDS - qtractor_started))
}

qtractor_fail() {
  echo "$session_name: FAILED: $1" >&2
  if [ -s "$session_run/qtractor.log" ]; then
    echo "--- what Qtractor printed:" >&2
    tail -n 40 "$session_run/qtractor.log" >&2
  fi
  if [ -s "$session_run/messages.log" ]; then
    echo "--- Qtractor's messages:" >&2
    tail -n 20 "$session_run/messages.log" >&2
  fi
  exit 1
}

# Options of a first start, as Qtractor's own file holds them: the plug-in's editor rather than
# the generic form when both exist, no question which editor, messages to a log (which says when
# a save is done), nothing captured from standard output, no autosave behind the check's back.
qtractor_write_settings() {
  local folder=$XDG_CONFIG_HOME/rncbc.org
  mkdir -p "$folder"
  cat >"$folder/Qtractor.conf" <<EOF
[Plugins]
OpenEditor=true
QueryEditorType=false

[Options]
Display\\StdoutCapture=false
Logging\\MessagesLog=true
Logging\\MessagesLogPath=$session_run/messages.log

[AutoSave]
Enabled=false
EOF
}

# The session: one audio track on the master bus whose plug-in chain is our plug-in, activated.
# The track is tall, so its plug-in list has room for the double click.
qtractor_write_session() {
  local type=$1 filename=$2 file=$3
  mkdir -p "$(dirname "$file")"
  cat >"$file" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE qtractorSession>
<session name="morlent-check" version="Qtractor 0.9.31">
 <properties>
  <directory>$(dirname "$file")</directory>
  <sample-rate>48000</sample-rate>
 </properties>
 <tracks>
  <track name="$qtractor_track" type="audio">
   <properties>
    <input-bus>Master</input-bus>
    <output-bus>Master</output-bus>
   </properties>
   <view>
    <height>160</height>
   </view>
   <plugins>
    <plugin type="$type">
     <filename>$filename</filename>
     <index>0</index>
     <activated>1</activated>
    </plugin>
   </plugins>
  </track>
 </tracks>
</session>
EOF
}

# What Qtractor saved: the track, our plug-in in its chain, activated, nothing else there, and the
# plug-in's parameters with their values, which Qtractor takes from the loaded plug-in (the
# session written for it has none).
qtractor_check_saved_session() {
  /usr/bin/python3 - "$@" <<'EOF'
import sys
import xml.etree.ElementTree as tree
path, track_name, kind, filename = sys.argv[1:5]
tracks = [t for t in tree.parse(path).getroot().iter("track") if t.get("name") == track_name]
if len(tracks) != 1:
    sys.exit("the saved session has %d tracks named %r" % (len(tracks), track_name))
plugins = tracks[0].findall("plugins/plugin")
if len(plugins) != 1:
    sys.exit("the track's chain has %d plug-ins" % len(plugins))
plugin = plugins[0]
found = (plugin.get("type"), plugin.findtext("filename"), plugin.findtext("activated"))
if found != (kind, filename, "1"):
    sys.exit("the track's plug-in is %r, not (%r, %r, '1')" % (found, kind, filename))
parameters = plugin.findall("params/param")
if not parameters:
    sys.exit("the track's plug-in has no parameters: Qtractor did not load it")
print("%s: %s (%s) is on the track %r, activated, with %d parameters"
      % (path, filename, kind, track_name, len(parameters)))
EOF
}

qtractor_check() {
  local format=$1 type=$2 reference=$3
  local outputs=${MORLENT_HOST_OUTPUTS:-$session_root/build/outputs/hosts}
  local session_file main editor x y width height point status preload filename
  session_begin "qtractor-$format" || exit 1
  qtractor_started=$SECONDS
  qtractor_file=
  qtractor_plugin && [ -n "$qtractor_file" ] || qtractor_fail "no plug-in to put on the track"
  filename=$qtractor_file
  mkdir -p "$outputs"
  local screenshot=$outputs/qtractor-$format.png
  rm -f "$screenshot" "$outputs/qtractor-$format-session.qtr" "$outputs/qtractor-$format-face.png"

  session_start_display || qtractor_fail "no display"
  session_start_jack || qtractor_fail "no JACK server"
  qtractor_step "display $DISPLAY and JACK server $JACK_DEFAULT_SERVER up"
  qtractor_write_settings
  session_file=$session_run/session/morlent-check.qtr
  qtractor_write_session "$type" "$filename" "$session_file"
  /usr/bin/python3 "$qtractor_here/qtractor-plugin-item.py" style >"$session_run/style.qss"
  preload=$(session_alsa_sequencer)
  [ -n "$preload" ] && qtractor_step "this machine has no ALSA sequencer: Qtractor runs on the null sequencer"

  # The main window has the session's name in its title once the session is open.
  session_arm_window mapped --name 'morlent-check\.qtr' --painted --timeout 60 || qtractor_fail "no window waiter"
  session_start qtractor env LD_PRELOAD="$preload" qtractor -stylesheet "$session_run/style.qss" "$session_file"
  local qtractor_pid=$session_pid
  session_armed_window 65 || qtractor_fail "Qtractor's main window with the session did not appear"
  read -r main x y width height _ <<<"$session_window"
  qtractor_step "Qtractor shows the session in $main (${width}x$height at $x,$y)"

  # The track list draws the chain when it gets to it: the plug-in is clicked once it is on screen.
  session_wait_until "$main" 30 bash -c 'import -window "$1" png:- | /usr/bin/python3 "$2" find -' find "$main" \
    "$qtractor_here/qtractor-plugin-item.py" || qtractor_fail "the track's plug-in list did not appear in the main window"
  read -r px py <<<"$session_until"
  session_arm_window mapped --name "^$qtractor_plugin_name - $qtractor_track( — Qtractor)?\$" --painted --timeout 30 ||
    qtractor_fail "no window waiter"
  xdotool mousemove $((x + px)) $((y + py)) click --repeat 2 --delay 0 1
  session_armed_window 35 || qtractor_fail "no editor window appeared after the double click on the plug-in"
  read -r editor x y width height _ <<<"$session_window"
  qtractor_step "the plug-in's window is $editor (${width}x$height at $x,$y): ${session_window#* * * * * }"

  session_screenshot_face "$editor" "$qtractor_face_seconds" "$screenshot" "$reference"
  [ -f "$screenshot" ] || qtractor_fail "no screenshot of $editor"
  qtractor_step "screenshot: $screenshot"

  # Qtractor saves the session on SIGUSR1 and logs when it has.
  kill -USR1 "$qtractor_pid"
  # tail follows the log on inotify and ends as soon as grep has the line.
  (set +o pipefail; timeout 30 tail -n +1 -F "$session_run/messages.log" 2>/dev/null |
    grep -q -m 1 '^[0-9:.]* Save session') || qtractor_fail "Qtractor did not save the session"
  cp "$session_file" "$outputs/qtractor-$format-session.qtr"
  qtractor_check_saved_session "$outputs/qtractor-$format-session.qtr" "$qtractor_track" "$type" "$filename" ||
    qtractor_fail "the plug-in is not on the track in the session Qtractor saved"

  # SIGTERM is Qtractor's own request to close: with the session saved it quits without asking.
  kill -TERM "$qtractor_pid"
  session_await_exit "$qtractor_pid" 30
  status=$?
  [ $status -eq 0 ] || qtractor_fail "Qtractor ended with status $status when asked to quit"
  qtractor_step "Qtractor quit"

  if [ ! -f "$reference" ]; then
    echo "$session_name: FAILED: there is no reference picture $reference to look for our face with" >&2
    exit 1
  fi
  /usr/bin/python3 "$qtractor_here/find-face.py" "$screenshot" "$reference" \
    --diff "$outputs/qtractor-$format-face.png" ||
    { echo "$session_name: FAILED: our editor's face is not in the screenshot" >&2; exit 1; }
  qtractor_step "passed"
}
