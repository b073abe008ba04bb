#!/usr/bin/env bash
# Runs a Windows test program under Wine with a prefix private to the build folder, so a test run
# never depends on (or changes) the user's own Wine setup. The caller provides DISPLAY (one Xvfb
# for the whole run); without one, a private Xvfb is started for this program alone.
set -u
exe=$1
dir=$(cd "$(dirname "$exe")" && pwd)
build=$dir
while [ "$build" != / ] && [ ! -f "$build/CMakeCache.txt" ]; do build=$(dirname "$build"); done
[ "$build" = / ] && build=$dir
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko downloads: this machine has no way to fetch them and the tests need neither.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.initialised" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.initialised"
  fi
) 9>"$WINEPREFIX.lock"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
fi
exec wine "$@"
