# Sourced by the scripts that run Windows programs: one virtual X display for all of them, and
# one way to stop it and the Wine servers the programs leave behind.
#
#   start_virtual_display           starts Xvfb, waits until it takes connections, exports DISPLAY
#   stop_virtual_display            stops the Xvfb started here, if any
#   stop_wine_and_virtual_display   stops each build folder's Wine server, then that Xvfb
#
# The stops always succeed, so either may be a script's EXIT trap under set -e.

virtual_display_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
virtual_display_pid=
virtual_display_file=
# The prefixes cmake/wine-run.sh makes, one per Windows build.
virtual_display_wine_prefixes=("$virtual_display_root/build/win64/wineprefix" "$virtual_display_root/build/win32/wineprefix")

start_virtual_display() {
  local seconds=30 number
  virtual_display_file=$(mktemp) || return 1
  # Xvfb picks a free display itself and writes its number once it takes connections, so
  # displays started at the same time never collide.
  # -noreset: a server that resets when its last client leaves drops the connections arriving
  # meanwhile, and the programs of a run come and go one after another.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$virtual_display_file" >/dev/null 2>&1 &
  virtual_display_pid=$!
  local deadline=$((SECONDS + seconds))
  # The number is complete with its newline.
  until IFS= read -r number <"$virtual_display_file" && [[ $number =~ ^[0-9]+$ ]]; do
    if ! kill -0 "$virtual_display_pid" 2>/dev/null; then
      echo "virtual display: Xvfb ended without opening a display" >&2
      virtual_display_pid=
      stop_virtual_display
      return 1
    fi
    if [ $SECONDS -ge $deadline ]; then
      echo "virtual display: Xvfb opened no display within $seconds s" >&2
      stop_virtual_display
      return 1
    fi
    sleep 0.1
  done
  export DISPLAY=":$number"
}

stop_virtual_display() {
  if [ -n "$virtual_display_pid" ]; then
    kill "$virtual_display_pid" >/dev/null 2>&1 || true
    virtual_display_pid=
  fi
  if [ -n "$virtual_display_file" ]; then
    rm -f "$virtual_display_file"
    virtual_display_file=
  fi
  return 0
}

stop_wine_and_virtual_display() {
  local prefix
  for prefix in "${virtual_display_wine_prefixes[@]}"; do
    # A server that has already timed out makes wineserver -k fail: there is nothing left to stop.
    if [ -d "$prefix" ]; then
      WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
    fi
  done
  stop_virtual_display
}
