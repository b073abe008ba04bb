#!/usr/bin/env bash
# Qtractor hosts the LV2 plug-in on an audio track and opens its UI through suil (see
# qtractor.sh). Qtractor finds the bundle on LV2_PATH: a folder of the run's that holds the
# bundle alone (the build folder beside it has other files that lilv would try to read as
# bundles), then the system's bundles.
#   qtractor-lv2.sh [BUNDLE [REFERENCE]]
# BUNDLE defaults to build/linux/lv2/MorlentDelay.lv2, REFERENCE to build/outputs/editor-linux.png.
set -uo pipefail
. "$(dirname "$0")/qtractor.sh"
session_isolate "$@"
bundle=$(realpath "${1:-$session_root/build/linux/lv2/MorlentDelay.lv2}")
[ -f "$bundle/manifest.ttl" ] || { echo "qtractor-lv2: no bundle $bundle" >&2; exit 1; }
qtractor_plugin() {
  mkdir -p "$session_run/lv2" && ln -s "$bundle" "$session_run/lv2/" || return 1
  export LV2_PATH=$session_run/lv2:/usr/lib/lv2
  qtractor_file=$(LV2_PATH=$session_run/lv2 lv2ls)
  [ "$(grep -c . <<<"$qtractor_file")" -eq 1 ] ||
    { echo "qtractor-lv2: expected one plug-in in $bundle, found: $qtractor_file" >&2; return 1; }
}
qtractor_check lv2 LV2 "${2:-$session_root/build/outputs/editor-linux.png}"
