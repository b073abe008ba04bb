#!/usr/bin/env bash
# The session harness as the host checks use it, in scripts of its own that each start a session
# and then end in one of the ways a check ends: passing, failing part way, or stopped from outside
# (as ctest stops a check at its timeout). After each, nothing it started may be running and its
# run folder must be gone. Also: the display and the JACK server answer while the session runs,
# HOME and the XDG folders are the run's own, a window the waiter was armed for is reported, and
# a program is awaited with its exit status or killed at its deadline.
#   session-tests.sh
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
  echo "FAILED: $1"
  failures=$((failures + 1))
}

# A check: a session with a display, a JACK server, a host that ends on TERM, one that ignores
# TERM and a child of its own, then the way it ends ($1: pass, fail, or wait to be stopped).
cat >"$work/check.sh" <<'EOF'
set -uo pipefail
. "$1/session.sh"
session_isolate "$@"
ending=$2 facts=$3
# The stubborn host is killed after this long instead of the checks' 10 s.
session_stop_seconds=2
session_begin session-test || exit 1
session_start_display || exit 1
session_start_jack || exit 1
session_start host sleep 300
host=$session_pid
session_start stubborn bash -c 'trap "" TERM; sleep 300 & wait; wait'
stubborn=$session_pid
{
  echo "run $session_run"
  echo "home $HOME $XDG_CONFIG_HOME $XDG_CACHE_HOME $XDG_DATA_HOME $XDG_RUNTIME_DIR"
  echo "pids $session_display_pid $session_jack_pid $host $stubborn"
  echo "shm $(findmnt -n -o SOURCE /dev/shm | tail -n 1) $(ls /dev/shm | grep -c "^jack")"
  xdpyinfo >/dev/null 2>&1 && echo "display answers"
  jack_lsp >/dev/null 2>&1 && echo "jack answers"
  # The stubborn host's group has a child of its own by now, which must go too.
  pgrep -g "$stubborn" | grep -vx "$stubborn" | sed 's/^/child /'
  echo started
} >"$facts"
case $ending in
  pass) exit 0 ;;
  fail) false; exit 3 ;;
  wait) mkfifo "$session_run/never"; read -r _ <>"$session_run/never" ;;
esac
EOF

facts_of() { sed -n "s/^$2 //p" "$1"; }

# A process counts as running until it has ended; a zombie waiting for its parent has ended.
running() {
  local state
  state=$(sed -E 's/.*\) ([A-Za-z]).*/\1/' "/proc/$1/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != Z ]
}
group_running() {
  ps -eo pgid=,stat= | awk -v group="$1" '$1 == group && $2 !~ /^Z/ { found = 1 } END { exit !found }'
}

# Everything the check started has ended, and its folder is gone.
expect_clean() {
  local facts=$1 label=$2 pid
  for pid in $(facts_of "$facts" pids) $(facts_of "$facts" child); do
    running "$pid" && fail "$label: process $pid ($(ps -o args= -p "$pid")) is still running"
    group_running "$pid" && fail "$label: process group $pid still has processes"
  done
  local run
  run=$(facts_of "$facts" run)
  [ -n "$run" ] && [ -e "$run" ] && fail "$label: the run folder $run is still there"
}

for ending in pass fail; do
  facts=$work/facts-$ending
  started=$SECONDS
  bash "$work/check.sh" "$here" "$ending" "$facts"
  status=$?
  expected=$([ $ending = pass ] && echo 0 || echo 3)
  [ $status -eq "$expected" ] || fail "$ending: the check ended with $status, not $expected"
  grep -qx started "$facts" || { fail "$ending: the session did not start"; continue; }
  grep -qx "display answers" "$facts" || fail "$ending: the display did not answer"
  grep -qx "jack answers" "$facts" || fail "$ending: the JACK server did not answer"
  [ -n "$(facts_of "$facts" child)" ] || fail "$ending: the stubborn host had no child"
  # JACK's files in a /dev/shm of the check's own, which the machine's does not show.
  [ "$(facts_of "$facts" shm | cut -d ' ' -f 1)" = morlent-shm ] || fail "$ending: /dev/shm was not the check's own"
  [ "$(facts_of "$facts" shm | cut -d ' ' -f 2)" -gt 0 ] || fail "$ending: JACK wrote nothing in the check's /dev/shm"
  run=$(facts_of "$facts" run)
  for folder in $(facts_of "$facts" home); do
    [[ $folder == "$run"/* ]] || fail "$ending: $folder is not inside the run folder $run"
  done
  expect_clean "$facts" "$ending"
  echo "$ending: ended with $status after $((SECONDS - started)) s, nothing left"
done

# Stopped from outside while it waits: the trap stops everything as well.
facts=$work/facts-stopped
bash "$work/check.sh" "$here" wait "$facts" &
check=$!
# The facts file is complete once it ends with "started"; tail follows it on inotify.
(set +o pipefail; timeout 60 tail -n +1 -F "$facts" 2>/dev/null | grep -qx -m 1 started) || fail "stopped: the session did not start"
kill -TERM "$check"
wait "$check"
status=$?
[ $status -eq 143 ] || fail "stopped: the check ended with $status, not 143"
expect_clean "$facts" stopped
echo "stopped: ended with $status, nothing left"

# Awaiting programs, and the armed waiter against a window that appears after it watches.
cat >"$work/await.sh" <<'EOF'
set -uo pipefail
. "$1/session.sh"
session_begin session-await || exit 1
session_start seven bash -c 'exit 7'
session_await_exit "$session_pid" 10
echo "seven $?"
session_start long sleep 300
started=$SECONDS
session_await_exit "$session_pid" 1
echo "long $? $((SECONDS - started))"
session_start_display || exit 1
session_arm_window mapped --name '^morlent session test$' --timeout 30 || exit 1
session_start message xmessage -name morlent-message -title 'morlent session test' 'a window'
session_armed_window 35 && echo "window $session_window"
EOF
out=$(bash "$work/await.sh" "$here")
grep -qx "seven 7" <<<"$out" || fail "session_await_exit did not return the program's status 7: $out"
grep -qE "^long 137 [12]$" <<<"$out" || fail "session_await_exit did not kill a program at its 1 s deadline: $out"
grep -qE "^window 0x[0-9a-f]+ -?[0-9]+ -?[0-9]+ [0-9]+ [0-9]+ morlent session test$" <<<"$out" ||
  fail "the armed waiter did not report xmessage's window: $out"
echo "$out"

[ $failures -eq 0 ]
