#!/usr/bin/env bash
# jalv, headless on a dummy JACK server of its own, loads a copy of the bundle, lists the factory
# presets, applies one and shows the ports' values (its console prompt "> " starts some lines).
#   jalv-check.sh BUNDLE_FOLDER
set -uo pipefail
bundle=${1:?usage: jalv-check.sh BUNDLE_FOLDER}
uri=https://www.example.com/lv2/morlent-delay
work=$(mktemp -d)
jackd_pid=
cleanup() {
  if [ -n "$jackd_pid" ]; then
    kill "$jackd_pid" 2>/dev/null
    wait "$jackd_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/lv2" "$work/home"
cp -r "$bundle" "$work/lv2/"
# A server of this run's own, so parallel runs and other users' servers never meet.
export HOME=$work/home JACK_DEFAULT_SERVER=morlent-lv2-check-$$ JACK_NO_AUDIO_RESERVATION=1
jackd --no-realtime --name "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256 >"$work/jackd.log" 2>&1 &
jackd_pid=$!
if ! timeout -k 5 30 jack_wait --wait --server "$JACK_DEFAULT_SERVER" --timeout 25 >/dev/null 2>&1; then
  echo "jalv check: the JACK server did not start:"
  cat "$work/jackd.log"
  exit 1
fi

preset=$uri/presets#dub-echo
printf 'presets\npreset %s\ncontrols\n' "$preset" |
  LV2_PATH=$work/lv2 timeout -k 5 60 jalv -x -n morlent-lv2-check "$uri" >"$work/jalv.log" 2>&1
status=$?
cat "$work/jalv.log"
[ $status -eq 0 ] || { echo "jalv check: jalv ended with $status"; exit 1; }
failures=0
expect() { grep -qE "$1" "$work/jalv.log" || { echo "jalv check: FAILED: $2"; failures=$((failures + 1)); }; }
[ "$(grep -cE "^(> )?$uri/presets#" "$work/jalv.log")" -eq 32 ] || { echo "jalv check: FAILED: 32 presets"; failures=$((failures + 1)); }
expect "^(> )?$preset \(Dub Echo\)$" "the preset Dub Echo is listed by name"
# Dub Echo: quarter notes in sync, feedback 0.70, low-pass at 1200 Hz, a little more dry than wet.
for line in 'sync = 1\.0+$' 'left_sync = 3\.0+$' 'right_sync = 3\.0+$' 'feedback = 0\.70+$' 'filter = 1\.0+$' \
            'cutoff = 1200\.0' 'filter_type = 0\.0+$' 'mix = -10\.0+$'; do
  expect "^(> )?$line" "after the preset: $line"
done
[ $failures -eq 0 ]
