#!/usr/bin/env bash
# lv2bench (which offers the URID map and nothing else) runs a copy of the bundle at 1-frame and
# 4096-frame blocks and reports its time.
#   bench-check.sh BUNDLE_FOLDER
set -uo pipefail
bundle=${1:?usage: bench-check.sh BUNDLE_FOLDER}
uri=https://www.example.com/lv2/morlent-delay
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$bundle" "$work/"
for setting in "-b 1 -n 48000" "-b 4096 -n 480000"; do
  # shellcheck disable=SC2086
  output=$(LV2_PATH=$work timeout -k 5 120 lv2bench $setting "$uri" 2>&1) || { echo "$output"; exit 1; }
  echo "lv2bench $setting: $output"
  grep -qE "^[0-9.e-]+ $uri$" <<<"$output" || exit 1
done
