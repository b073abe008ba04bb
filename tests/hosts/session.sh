# Sourced by the host checks: starts, awaits and stops what one check needs, each check its own
# and nothing shared with another check or another user: a private Xvfb, a dummy JACK server, a
# HOME and XDG folders of the run's own, and the hosts themselves. A trap stops everything that
# was started, newest first, whatever happens, and waits until each is gone.
#
#   session_isolate "$@"            first thing in a check script: runs it again in a mount
#                                   namespace of its own with a private /dev/shm (see below)
#   session_begin NAME              a run folder with HOME and XDG_*; the trap
#   session_start_display           Xvfb on a display it chooses itself; exports DISPLAY
#   session_start_jack              a dummy JACK server (48 kHz, 256 frames) named after the run;
#                                   exports JACK_DEFAULT_SERVER
#   session_start NAME COMMAND...   a program in a process group of its own, its output in
#                                   $session_run/NAME.log; sets session_pid
#   session_await_exit PID SECONDS  waits for a program started here to end and returns its exit
#                                   status; kills its group when it outlasts the deadline (status
#                                   137). Call it in this shell, not in $(...), whose subshell has
#                                   no children to wait for.
#   session_arm_window ARGS...      starts window-waiter with ARGS and --ready, and returns once it
#                                   watches, before the action whose effect it awaits
#   session_armed_window SECONDS    awaits the armed waiter; its line (WINDOW X Y WIDTH HEIGHT
#                                   NAME) in session_window
#   session_waiter ARGS...          window-waiter itself
#   session_wait_until WINDOW SECONDS COMMAND...
#                                   window-waiter until, stopped by the trap like the hosts; what
#                                   it printed in session_until
#   session_alsa_sequencer          prints the LD_PRELOAD value a host needs for ALSA MIDI where
#                                   the machine has no sequencer (nothing where it has one)
#   session_effect_name             the effect's name, which hosts show, from the description
#   session_end                     the trap: stops everything, removes the run folder
#
# The tools come from MORLENT_HOST_TOOLS (default build/linux/tests/hosts of this checkout).
# MORLENT_KEEP_RUN=1 keeps the run folder, with every program's log, for a look afterwards.

session_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
session_tools=${MORLENT_HOST_TOOLS:-$session_root/build/linux/tests/hosts}
session_name=
session_owner=
session_run=
session_pid=
session_window=
session_until=
session_pids=()
session_labels=()
session_waiter_pid=
session_waiter_fd=
session_display_pid=
session_jack_pid=
# How long a program has to end on TERM before its group is killed.
session_stop_seconds=10

# Background programs stay in the check's own process group unless started otherwise; job control
# would make each a group leader, and setsid would then fork instead of taking the program's pid.
set +m

# JACK puts every client's socket in /dev/shm under the client's name alone, whatever its server:
# two checks whose hosts both call themselves "Qtractor" (or whose jack_wait both say "wait"),
# each on a server of its own, take each other's sockets and fail by chance. A check therefore
# runs in a mount namespace of its own with a private /dev/shm, which ends with its last process.
# Where namespaces are not allowed (not root), it says so and runs as it is.
session_isolate() {
  [ "${MORLENT_SESSION_ISOLATED:-0}" = 1 ] && return 0
  if unshare --mount --propagation private true 2>/dev/null; then
    exec unshare --mount --propagation private env MORLENT_SESSION_ISOLATED=1 bash "$0" "$@"
  fi
  echo "$(basename "$0"): no mount namespace here: JACK's sockets are shared with other servers" >&2
}

session_begin() {
  session_name=${1:?session_begin NAME}
  if [ "${MORLENT_SESSION_ISOLATED:-0}" = 1 ] && [ "$(findmnt -n -o SOURCE /dev/shm | tail -n 1)" != morlent-shm ]; then
    mount -t tmpfs -o mode=1777 morlent-shm /dev/shm || return 1
  fi
  session_run=$(mktemp -d "${TMPDIR:-/tmp}/morlent-$session_name.XXXXXX") || return 1
  session_owner=$BASHPID
  trap session_end EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
  trap 'exit 129' HUP
  mkdir -p "$session_run/home" "$session_run/runtime"
  chmod 700 "$session_run/runtime"
  export HOME=$session_run/home
  export XDG_CONFIG_HOME=$HOME/.config XDG_CACHE_HOME=$HOME/.cache XDG_DATA_HOME=$HOME/.local/share
  export XDG_STATE_HOME=$HOME/.local/state XDG_RUNTIME_DIR=$session_run/runtime
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME"
  # No session bus: nothing may start a D-Bus daemon that would outlive the check, and the
  # toolkits' accessibility bridges stay off.
  export DBUS_SESSION_BUS_ADDRESS=disabled: NO_AT_BRIDGE=1 GTK_A11Y=none
  unset SESSION_MANAGER DISPLAY JACK_DEFAULT_SERVER
  [ -x "$session_tools/window-waiter" ] || {
    echo "$session_name: no window-waiter in $session_tools (build the linux preset)" >&2
    return 1
  }
}

# Ends with the whole process group of a program started here: TERM, then KILL at the deadline.
session_stop_group() {
  local pid=$1 seconds=${2:-10}
  kill -0 "$pid" 2>/dev/null && kill -TERM -- "-$pid" 2>/dev/null
  session_await_exit "$pid" "$seconds"
  # What the program left running in its group goes with it.
  kill -KILL -- "-$pid" 2>/dev/null
  session_await_group "$pid" 5
  return 0
}

# Waits until no process of the group is alive (a zombie has ended), also those that are not
# children of this shell: their pidfds become readable when they end.
session_await_group() {
  /usr/bin/python3 - "$1" "$2" <<'EOF'
import os
import select
import sys
import time

group, seconds = int(sys.argv[1]), float(sys.argv[2])
poller = select.poll()
waiting = 0
for entry in os.listdir("/proc"):
    if not entry.isdigit():
        continue
    try:
        with open("/proc/%s/stat" % entry) as stat:
            state, _, process_group = stat.read().rsplit(")", 1)[1].split()[:3]
        if state == "Z" or int(process_group) != group:
            continue
        poller.register(os.pidfd_open(int(entry)), select.POLLIN)
        waiting += 1
    except OSError:
        continue  # ended meanwhile
deadline = time.monotonic() + seconds
while waiting:
    left = deadline - time.monotonic()
    if left <= 0:
        sys.exit("session: process group %d still has processes after %g s" % (group, seconds))
    for descriptor, _ in poller.poll(left * 1000):
        poller.unregister(descriptor)
        waiting -= 1
EOF
}

session_end() {
  local status=$? i
  # Only the shell that began the session ends it: a child forked from it and signalled before
  # it ran its command runs the same traps.
  [ "$BASHPID" = "$session_owner" ] || return $status
  trap - EXIT INT TERM HUP
  if [ -n "$session_waiter_pid" ]; then
    session_stop_group "$session_waiter_pid" 5
    session_waiter_pid=
  fi
  [ -n "$session_waiter_fd" ] && exec {session_waiter_fd}<&-
  session_waiter_fd=
  for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
    if kill -0 "${session_pids[i]}" 2>/dev/null; then
      echo "$session_name: stopping ${session_labels[i]}, still running" >&2
    fi
    session_stop_group "${session_pids[i]}" "$session_stop_seconds"
  done
  session_pids=()
  session_labels=()
  [ -n "$session_jack_pid" ] && session_stop_group "$session_jack_pid" "$session_stop_seconds"
  [ -n "$session_display_pid" ] && session_stop_group "$session_display_pid" "$session_stop_seconds"
  session_jack_pid=
  session_display_pid=
  if [ -n "$session_run" ]; then
    if [ "${MORLENT_KEEP_RUN:-0}" = 1 ]; then
      echo "$session_name: the run's folder is kept: $session_run" >&2
    else
      rm -rf "$session_run"
    fi
  fi
  session_run=
  return $status
}

# Waits for a program started by this shell, with a deadline after which its group is killed:
# whichever ends first of the program and a timer, itself a child that is stopped after.
session_await_exit() {
  local pid=$1 seconds=$2 status timer ended=
  # Ended and already awaited: its status is the one this shell still has, if any.
  if ! kill -0 "$pid" 2>/dev/null; then
    wait "$pid" 2>/dev/null
    return
  fi
  sleep "$seconds" &
  timer=$!
  wait -n -p ended "$pid" "$timer" 2>/dev/null
  status=$?
  if [ "$ended" = "$timer" ]; then
    kill -KILL -- "-$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    status=$?
  else
    # KILL, as a timer just forked may not have become sleep yet and would run this shell's traps.
    kill -KILL "$timer" 2>/dev/null
    wait "$timer" 2>/dev/null
  fi
  return "$status"
}

session_start() {
  local label=${1:?session_start NAME COMMAND...}
  shift
  setsid "$@" >"$session_run/$label.log" 2>&1 </dev/null &
  session_pid=$!
  session_pids+=("$session_pid")
  session_labels+=("$label")
}

session_start_display() {
  local number
  mkfifo "$session_run/display"
  # Xvfb picks a free display itself and writes its number once it takes connections, so checks
  # started at the same time never meet; the fifo makes that write the event awaited.
  setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset \
    3>"$session_run/display" >"$session_run/xvfb.log" 2>&1 </dev/null &
  session_display_pid=$!
  if ! IFS= read -r -t 30 number <"$session_run/display" || ! [[ $number =~ ^[0-9]+$ ]]; then
    echo "$session_name: Xvfb opened no display:" >&2
    cat "$session_run/xvfb.log" >&2
    return 1
  fi
  export DISPLAY=":$number"
}

session_start_jack() {
  export JACK_DEFAULT_SERVER="morlent-$session_name-$$" JACK_NO_AUDIO_RESERVATION=1
  # Not real-time: the checks look at windows and values, and a container may refuse the
  # scheduling class.
  setsid jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 \
    >"$session_run/jackd.log" 2>&1 </dev/null &
  session_jack_pid=$!
  if ! timeout -k 5 30 jack_wait --wait --server "$JACK_DEFAULT_SERVER" --name "wait-$JACK_DEFAULT_SERVER" \
    --timeout 25 >/dev/null 2>&1; then
    echo "$session_name: the JACK server did not start:" >&2
    cat "$session_run/jackd.log" >&2
    return 1
  fi
}

session_waiter() {
  "$session_tools/window-waiter" "$@"
}

# window-waiter until, started like any program here so that the trap stops it with the rest;
# what the command printed last goes to session_until.
session_wait_until() {
  local window=$1 seconds=$2 status
  shift 2
  session_until=
  session_start until "$session_tools/window-waiter" until "$window" --timeout "$seconds" -- "$@"
  session_await_exit "$session_pid" $((seconds + 5))
  status=$?
  session_until=$(cat "$session_run/until.log")
  return $status
}

# Screenshots WINDOW into FILE. Given REFERENCE, our editor's own screenshot, it takes it again
# after each change of the window until it shows that face, or for SECONDS at most: a host maps
# our editor, drawn on a connection of its own, inside its window on its own schedule.
#   session_screenshot_face WINDOW SECONDS FILE [REFERENCE]
session_screenshot_face() {
  local window=$1 seconds=$2 screenshot=$3 reference=${4:-}
  if [ -f "$reference" ]; then
    session_wait_until "$window" "$seconds" bash -c \
      'import -window "$1" "$2" && /usr/bin/python3 "$3" "$2" "$4" --quiet' face "$window" "$screenshot" \
      "$session_root/tests/hosts/find-face.py" "$reference"
  else
    import -window "$window" "$screenshot"
  fi
}

session_arm_window() {
  local line
  [ -p "$session_run/waiter" ] || mkfifo "$session_run/waiter"
  setsid "$session_tools/window-waiter" "$@" --ready >"$session_run/waiter" 2>"$session_run/waiter.log" </dev/null &
  session_waiter_pid=$!
  exec {session_waiter_fd}<"$session_run/waiter"
  if ! IFS= read -r -t 30 -u "$session_waiter_fd" line || [ "$line" != ready ]; then
    echo "$session_name: window-waiter did not start watching:" >&2
    cat "$session_run/waiter.log" >&2
    return 1
  fi
}

# Called in this shell, like session_await_exit: the line goes to session_window.
session_armed_window() {
  local seconds=${1:?session_armed_window SECONDS} status
  session_window=
  IFS= read -r -t "$seconds" -u "$session_waiter_fd" session_window
  session_await_exit "$session_waiter_pid" 5
  status=$?
  session_waiter_pid=
  exec {session_waiter_fd}<&-
  session_waiter_fd=
  if [ $status -ne 0 ] || [ -z "$session_window" ]; then
    cat "$session_run/waiter.log" >&2
    return 1
  fi
}

session_effect_name() {
  sed -n 's/^constexpr char kEffectName\[\] = "\(.*\)";$/\1/p' "$session_root/description/EffectDescription.h"
}

session_alsa_sequencer() {
  if [ ! -c /dev/snd/seq ]; then
    echo "$session_tools/libnull-alsa-sequencer.so"
  fi
}
