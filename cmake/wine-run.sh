#!/usr/bin/env bash
# Runs a Windows program under Wine with a prefix private to the build folder, so a test run
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

# A 64-bit program goes straight to the 64-bit loader: the generic `wine` starts the 32-bit
# loader first, which some machines cannot run at all.
loader=wine
pe_offset=$(od -An -tu4 -j60 -N4 "$exe" 2>/dev/null | tr -d ' ')
if [ -n "$pe_offset" ] && [ "$(od -An -tx2 -j$((pe_offset + 4)) -N2 "$exe" 2>/dev/null | tr -d ' ')" = 8664 ] &&
   [ -x /usr/lib/wine/wine64 ]; then
  loader=/usr/lib/wine/wine64
fi

mkdir -p "$WINEPREFIX"
(
  flock 9
  if [ ! -f "$WINEPREFIX/.initialised" ]; then
    "$loader" wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.initialised"
  fi
  if [ ! -f "$WINEPREFIX/.arial" ]; then
    # Hosts' machines have Arial; Liberation Sans has its metrics, so texts measure the same.
    "$loader" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /d 'Liberation Sans' /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.arial"
  fi
) 9>"$WINEPREFIX.lock"
if [ -z "${DISPLAY:-}" ]; then
  # The prefix's Wine server outlives this display: other programs may be running in the prefix.
  . "$(dirname "$0")/../scripts/virtual-display.sh"
  trap stop_virtual_display EXIT
  start_virtual_display || exit 1
  "$loader" "$@"
  exit
fi
exec "$loader" "$@"
