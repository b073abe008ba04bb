# What every format's Ardour check shares, sourced by its ardour-check.sh: a private home with
# the test clicks and the export preset, a copy of the bundle, and runs of ardour7-lua (without
# its window, on the dummy backend) that must reach their last line. The caller sets
# MORLENT_PLUGIN, MORLENT_FOUND_BY and MORLENT_CONTROL for session.lua.
#   ardour_prepare BUNDLE_FOLDER COPY_FOLDER   sets work; the copy is $work/COPY_FOLDER/BUNDLE
#   ardour_run SCRIPT LAST_LINE SECONDS        the log is $work/$(basename SCRIPT).log
shared=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

ardour_prepare() {
  work=$(mktemp -d)
  [ -n "${MORLENT_KEEP:-}" ] && echo "work: $work" || trap 'rm -rf "$work"' EXIT
  mkdir -p "$work/$2" "$work/home/config/ardour7/scripts" "$work/home/config/ardour7/export" "$work/home/cache" \
    "$work/renders"
  cp -r "$1" "$work/$2/"
  cp "$shared/morlent_test_clicks.lua" "$work/home/config/ardour7/scripts/"
  cp "$shared/morlent-check.preset" "$work/home/config/ardour7/export/"
  export HOME=$work/home XDG_CONFIG_HOME=$work/home/config XDG_CACHE_HOME=$work/home/cache
  export MORLENT_LUA_DIR=$shared MORLENT_SESSION_DIR=$work/session MORLENT_RENDER_DIR=$work/renders
  # Ardour's denormal handling crashes at random on CPUs with AVX-512 unless told which flags to use.
  if grep -qw avx512f /proc/cpuinfo; then
    export ARDOUR_FPU_FLAGS=95
  fi
}

ardour_run() {
  local log
  log=$work/$(basename "$1").log
  timeout -k 10 "$3" ardour7-lua "$1" >"$log" 2>&1
  local status=$?
  grep -E "^(new|saved|reopened|bypassed) $MORLENT_CONTROL|^FAILED" "$log"
  if ! grep -qx "$2" "$log"; then
    echo "ardour check: $(basename "$1") did not finish (status $status):"
    tail -20 "$log"
    exit 1
  fi
}
